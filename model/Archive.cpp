#include "model/Archive.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "platform/Unicode.h"

namespace pcn {
namespace {

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);

void appendLittleEndian(std::string& out, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

constexpr uint16_t kWideMarker = 0xFFFE;
constexpr uint16_t kLongMarker = 0xFFFF;

}  // namespace

std::string utf16leToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    auto unitAt = [&](size_t i) {
        return static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    const size_t units = bytes.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        uint16_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            uint16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((uint32_t(unit) - 0xD800) << 10) + (uint32_t(low) - 0xDC00));
                ++i;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF)
            appendUtf8(out, kReplacementCharacter);
        else
            appendUtf8(out, unit);
    }
    return out;
}

CArchive::CArchive() : mode_(store) {}

CArchive::CArchive(std::string_view bytes) : mode_(load), in_(bytes) {}

// ---- storing ----------------------------------------------------------------

void CArchive::WriteInt(int32_t value) { appendLittleEndian(out_, static_cast<uint32_t>(value), 4); }

void CArchive::WriteDouble(double value) { appendLittleEndian(out_, std::bit_cast<uint64_t>(value), 8); }

void CArchive::WriteTime(std::time_t value) { WriteInt(static_cast<int32_t>(static_cast<int64_t>(value))); }

void CArchive::WriteString(std::string_view text) {
    const size_t length = text.size();
    if (length < 0xFF) {
        appendLittleEndian(out_, length, 1);
    } else if (length < kWideMarker) {
        out_.push_back(static_cast<char>(0xFF));
        appendLittleEndian(out_, length, 2);
    } else {
        // Texts of 4 GiB and more cannot be expressed; the records never hold such.
        out_.push_back(static_cast<char>(0xFF));
        appendLittleEndian(out_, kLongMarker, 2);
        appendLittleEndian(out_, std::min<size_t>(length, std::numeric_limits<uint32_t>::max()), 4);
        text = text.substr(0, std::min<size_t>(length, std::numeric_limits<uint32_t>::max()));
    }
    out_.append(text);
}

void CArchive::WriteStringList(const std::vector<std::string>& list) {
    WriteInt(static_cast<int32_t>(list.size()));
    for (const std::string& s : list) WriteString(s);
}

void CArchive::WriteIntList(const std::vector<int32_t>& list) {
    WriteInt(static_cast<int32_t>(list.size()));
    for (int32_t v : list) WriteInt(v);
}

void CArchive::WriteBytes(std::string_view bytes) { out_.append(bytes); }

// ---- loading ----------------------------------------------------------------

std::string_view CArchive::take(size_t count, const char* what) {
    if (count > remaining())
        throw ArchiveException(ArchiveException::Cause::EndOfFile,
                               std::string("The file ends inside ") + what + " at offset " + std::to_string(pos_));
    std::string_view bytes = in_.substr(pos_, count);
    pos_ += count;
    return bytes;
}

uint32_t CArchive::readUnsigned(size_t width, const char* what) {
    std::string_view bytes = take(width, what);
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value |= uint32_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

int32_t CArchive::ReadInt() { return static_cast<int32_t>(readUnsigned(4, "an integer")); }

double CArchive::ReadDouble() {
    std::string_view bytes = take(8, "a double");
    uint64_t raw = 0;
    for (size_t i = 0; i < 8; ++i) raw |= uint64_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return std::bit_cast<double>(raw);
}

std::time_t CArchive::ReadTime() { return static_cast<std::time_t>(ReadInt()); }

size_t CArchive::readLengthPrefix() {
    uint32_t length = readUnsigned(1, "a string length");
    if (length < 0xFF) return length;
    length = readUnsigned(2, "a string length");
    if (length == kWideMarker) return std::numeric_limits<size_t>::max();  // caller reads the wide form
    if (length < kLongMarker) return length;
    return readUnsigned(4, "a string length");
}

std::string CArchive::readWideText(size_t units) {
    if (units > remaining() / 2)
        throw ArchiveException(ArchiveException::Cause::EndOfFile,
                               "A wide string of " + std::to_string(units) + " characters at offset " +
                                   std::to_string(pos_) + " runs past the end of the file");
    return utf16leToUtf8(take(units * 2, "a wide string"));
}

std::string CArchive::ReadString() {
    size_t length = readLengthPrefix();
    if (length == std::numeric_limits<size_t>::max()) {
        size_t units = readLengthPrefix();
        if (units == std::numeric_limits<size_t>::max())
            throw ArchiveException(ArchiveException::Cause::BadFormat,
                                   "A string at offset " + std::to_string(pos_) + " has two wide markers");
        return readWideText(units);
    }
    if (length > remaining())
        throw ArchiveException(ArchiveException::Cause::EndOfFile,
                               "A string of " + std::to_string(length) + " bytes at offset " + std::to_string(pos_) +
                                   " runs past the end of the file");
    return std::string(take(length, "a string"));
}

void CArchive::checkCount(int32_t count, size_t minimumItemSize, const char* what) const {
    if (count < 0)
        throw ArchiveException(ArchiveException::Cause::BadFormat,
                               std::string("A negative count of ") + what + " at offset " + std::to_string(pos_));
    if (static_cast<size_t>(count) > remaining() / minimumItemSize)
        throw ArchiveException(ArchiveException::Cause::EndOfFile,
                               std::to_string(count) + " " + what + " at offset " + std::to_string(pos_) +
                                   " cannot fit in the rest of the file");
    if (static_cast<size_t>(count) > kMaxListItems - listItems_)
        throw ArchiveException(ArchiveException::Cause::BadFormat,
                               std::to_string(count) + " " + what + " at offset " + std::to_string(pos_) +
                                   " are more list entries than any record holds");
}

void CArchive::ReadStringList(std::vector<std::string>& list) {
    int32_t count = ReadInt();
    checkCount(count, 1, "strings");
    listItems_ += static_cast<size_t>(count);
    list.reserve(list.size() + static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) list.push_back(ReadString());
}

void CArchive::ReadIntList(std::vector<int32_t>& list) {
    int32_t count = ReadInt();
    checkCount(count, 4, "integers");
    listItems_ += static_cast<size_t>(count);
    list.reserve(list.size() + static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) list.push_back(ReadInt());
}

// ---- either direction ----------------------------------------------------------

void CArchive::Exchange(int32_t& value) {
    if (IsStoring())
        WriteInt(value);
    else
        value = ReadInt();
}

void CArchive::Exchange(double& value) {
    if (IsStoring())
        WriteDouble(value);
    else
        value = ReadDouble();
}

void CArchive::Exchange(std::string& text) {
    if (IsStoring())
        WriteString(text);
    else
        text = ReadString();
}

void CArchive::Exchange(std::vector<std::string>& list) {
    if (IsStoring())
        WriteStringList(list);
    else
        ReadStringList(list);
}

void CArchive::Exchange(std::vector<int32_t>& list) {
    if (IsStoring())
        WriteIntList(list);
    else
        ReadIntList(list);
}

void CArchive::ExchangeTime(std::time_t& value) {
    if (IsStoring())
        WriteTime(value);
    else
        value = ReadTime();
}

}  // namespace pcn
