#pragma once
// The little-endian record archive that package, project and FTP site files
// are written in: 32-bit integers, doubles, 32-bit times, length-prefixed
// 8-bit strings, counted string and integer lists, and no class tags.
//
// One archive works in one direction. A storing archive appends to an
// in-memory buffer that the caller writes out whole; a loading archive reads
// from a byte range and checks every length against the bytes that are left,
// so that a damaged or hostile file ends in an ArchiveException, never in a
// read past the end or a huge allocation.
//
// Records serialise themselves with Exchange(), which stores or loads the
// member depending on the direction, so that each layout is written once.

#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {

// The version double at the head of every project and package file
// (bytes CD CC CC CC CC CC 00 40).
inline constexpr double kFileVersion = 2.1;

class ArchiveException : public std::runtime_error {
public:
    enum class Cause {
        EndOfFile,   // the input ended inside an item
        BadFormat,   // an item cannot be what it claims (a negative count, say)
        BadVersion,  // the version double is not the one expected
    };
    ArchiveException(Cause cause, std::string what) : std::runtime_error(std::move(what)), cause_(cause) {}
    Cause cause() const { return cause_; }

private:
    Cause cause_;
};

// List entries one loading archive accepts in all, whatever the file size:
// an empty entry costs a byte or four on disk but tens of bytes in memory.
// A million is far above any real package (a file table entry is three).
inline constexpr size_t kMaxListItems = size_t{1} << 20;

class CArchive {
public:
    enum Mode { store, load };

    // A storing archive; its bytes are in buffer().
    CArchive();
    // A loading archive over bytes that must outlive it.
    explicit CArchive(std::string_view bytes);

    bool IsStoring() const { return mode_ == store; }
    bool IsLoading() const { return mode_ == load; }

    // Storing.
    void WriteInt(int32_t value);
    void WriteDouble(double value);
    void WriteTime(std::time_t value);  // kept to 32 bits, as the file format has it
    void WriteString(std::string_view text);
    void WriteStringList(const std::vector<std::string>& list);
    void WriteIntList(const std::vector<int32_t>& list);
    void WriteBytes(std::string_view bytes);

    // Loading; each throws ArchiveException when the input cannot hold the item.
    int32_t ReadInt();
    double ReadDouble();
    std::time_t ReadTime();
    std::string ReadString();
    // Appends to the list, as records do when they load.
    void ReadStringList(std::vector<std::string>& list);
    void ReadIntList(std::vector<int32_t>& list);

    // Store or load, by direction.
    void Exchange(int32_t& value);
    void Exchange(double& value);
    void Exchange(std::string& text);
    void Exchange(std::vector<std::string>& list);
    void Exchange(std::vector<int32_t>& list);
    void ExchangeTime(std::time_t& value);

    // The bytes written so far (storing).
    const std::string& buffer() const { return out_; }
    std::string takeBuffer() { return std::move(out_); }

    // Loading position and what is left.
    size_t position() const { return pos_; }
    size_t remaining() const { return in_.size() - pos_; }
    bool atEnd() const { return pos_ >= in_.size(); }

private:
    std::string_view take(size_t count, const char* what);
    uint32_t readUnsigned(size_t width, const char* what);
    size_t readLengthPrefix();
    std::string readWideText(size_t units);
    void checkCount(int32_t count, size_t minimumItemSize, const char* what) const;

    Mode mode_;
    std::string out_;
    std::string_view in_;
    size_t pos_ = 0;
    size_t listItems_ = 0;  // read so far, against kMaxListItems
};

// Converts UTF-16 code units (little-endian bytes) to UTF-8; unpaired
// surrogates become U+FFFD.
std::string utf16leToUtf8(std::string_view bytes);

}  // namespace pcn
