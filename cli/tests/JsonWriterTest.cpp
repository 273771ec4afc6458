// What --json prints must parse whatever bytes a package or component holds.

#include <gtest/gtest.h>

#include "cli/Json.h"

namespace pcn::cli {
namespace {

TEST(JsonWriterTest, EscapesWhatWouldEndAStringAndReplacesBytesThatAreNotUtf8) {
    JsonWriter json;
    json.beginObject()
        .field("quote", "a\"b\\c")
        .field("controls", std::string("line\nbreak\ttab\x01\0", 16))
        .field("latin1", "caf\xe9")
        .field("utf8", "caf\xc3\xa9 \xe2\x82\xac")
        .field("cut", "\xe2\x82")
        .endObject();
    EXPECT_EQ(json.text(), "{\"quote\":\"a\\\"b\\\\c\",\"controls\":\"line\\nbreak\\ttab\\u0001\\u0000\","
                           "\"latin1\":\"caf\\ufffd\",\"utf8\":\"caf\xc3\xa9 \xe2\x82\xac\",\"cut\":\"\\ufffd\\ufffd\"}");
}

TEST(JsonWriterTest, SeparatesMembersAndElementsAtEveryDepth) {
    JsonWriter json;
    json.beginObject().key("list").beginArray();
    json.beginObject().field("n", 1).field("ok", true).endObject();
    json.beginObject().key("none").null().endObject();
    json.endArray().array("names", {"a", "b"}).field("size", uint64_t(1) << 40).endObject();
    EXPECT_EQ(json.text(), "{\"list\":[{\"n\":1,\"ok\":true},{\"none\":null}],\"names\":[\"a\",\"b\"],"
                           "\"size\":1099511627776}");
}

}  // namespace
}  // namespace pcn::cli
