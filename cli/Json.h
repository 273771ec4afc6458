#pragma once
// The --json output of the commands: a small writer that builds one JSON
// document (objects, arrays, strings, numbers, booleans) and prints it on
// stdout. Strings are bytes from files: invalid UTF-8 is written as U+FFFD
// so that every reader can parse what we print.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pcn::cli {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(int64_t number);
    JsonWriter& value(int number) { return value(int64_t(number)); }
    JsonWriter& value(uint64_t number);
    JsonWriter& value(bool flag);
    JsonWriter& null();
    // key(name).value(v) in one call.
    template <typename T>
    JsonWriter& field(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }
    JsonWriter& array(std::string_view name, const std::vector<std::string>& items);

    const std::string& text() const { return out_; }
    // Prints the document and a line break on stdout.
    void print() const;

private:
    void beforeValue();
    void open(char bracket);

    std::string out_;
    std::vector<bool> first_;  // per open container: nothing written in it yet
    bool afterKey_ = false;
};

}  // namespace pcn::cli
