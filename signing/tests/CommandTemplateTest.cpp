#include <gtest/gtest.h>

#include "model/Digest.h"
#include "signing/CommandTemplate.h"
#include "signing/SigningJobs.h"
#include "signing/TimeStampServer.h"

namespace pcn {
namespace {

TokenValues sample() {
    return TokenValues{"/keys/my.spc", "/keys/my.pvk", "My Program", "http://example.com/info", kDigestMd5,
                       "/out/Setup.EXE"};
}

TEST(CommandTemplate, DefaultSignTemplateQuotesEveryValue) {
    std::string text = substituteTokens(codesign::kDefaultSignCodeCommand, sample());
    EXPECT_EQ(text,
              "-spc \"/keys/my.spc\" -v \"/keys/my.pvk\" -n \"My Program\" -i \"http://example.com/info\" "
              "-a \"md5\" \"/out/Setup.EXE\"");
    TokenValues sha = sample();
    sha.digest = kDigestSha1;
    EXPECT_NE(substituteTokens(codesign::kDefaultSignCodeCommand, sha).find("-a \"sha1\" "), std::string::npos);
    sha.digest = kDigestSha256;
    EXPECT_NE(substituteTokens(codesign::kDefaultSignCodeCommand, sha).find("-a \"sha256\" "), std::string::npos);

    EXPECT_EQ(templateArguments(codesign::kDefaultSignCodeCommand, sample()),
              (std::vector<std::string>{"-spc", "/keys/my.spc", "-v", "/keys/my.pvk", "-n", "My Program", "-i",
                                        "http://example.com/info", "-a", "md5", "/out/Setup.EXE"}));
}

TEST(CommandTemplate, UnknownTokenIsDroppedWithItsSigns) {
    EXPECT_EQ(substituteTokens("-x @bogus@ @FileName@", sample()), "-x  \"/out/Setup.EXE\"");
    EXPECT_EQ(templateArguments("-x @bogus@ @FileName@", sample()),
              (std::vector<std::string>{"-x", "/out/Setup.EXE"}));
}

TEST(CommandTemplate, TokenNamesMatchCaseSensitivelyInTableOrder) {
    TokenValues v = sample();
    // "profile" holds "file" before anything else; "FileName" holds neither
    // "file" nor "name"; "pvkFileName" holds "pvkFile" first.
    EXPECT_EQ(substituteTokens("@profile@|@FileName@|@pvkFileName@|@username@|@moreinfo@|@algorithm2@", v),
              "\"/keys/my.spc\"|\"/out/Setup.EXE\"|\"/keys/my.pvk\"|\"My Program\"|"
              "\"http://example.com/info\"|\"md5\"");
    EXPECT_EQ(substituteTokens("@FILENAME@@Name@", v), "");
}

TEST(CommandTemplate, EdgesOfTheTemplateText) {
    EXPECT_EQ(substituteTokens("", sample()), "");
    EXPECT_TRUE(templateArguments("", sample()).empty());
    EXPECT_TRUE(templateArguments("   ", sample()).empty());
    // A token left open runs to the end of the template.
    EXPECT_EQ(substituteTokens("-t url @FileName", sample()), "-t url \"/out/Setup.EXE\"");
    // A long name is cut after 599 characters: the match must lie in the kept part.
    std::string longName(700, 'z');
    EXPECT_EQ(substituteTokens("a @" + longName + "FileName@ b", sample()), "a  b");
    EXPECT_EQ(substituteTokens("a @" + std::string(590, 'z') + "FileName@ b", sample()), "a \"/out/Setup.EXE\" b");
    // Quoted literal text in a template (a path with blanks) stays one argument.
    EXPECT_EQ(templateArguments("-t \"http://a b/\" -x", sample()),
              (std::vector<std::string>{"-t", "http://a b/", "-x"}));
}

TEST(CommandTemplate, ValuesAreNeverSplitOrInterpreted) {
    TokenValues v = sample();
    v.fileName = "/out/my \"app\" $(touch pwned); rm -rf x`id`.exe";
    v.name = "";
    auto args = templateArguments("-n @name@ @FileName@", v);
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[0], "-n");
    EXPECT_EQ(args[1], "");  // an empty value is still an argument
    EXPECT_EQ(args[2], v.fileName);
    // A value glued to literal text joins that argument.
    EXPECT_EQ(templateArguments("--file=@FileName@", v), (std::vector<std::string>{"--file=" + v.fileName}));
}

TEST(TimeStampServer, ReadAndReplacedInTheTemplate) {
    using Kind = TimeStampServer::Kind;
    const std::string original(codesign::kDefaultTimeStampCommand);
    ASSERT_EQ(timeStampServerOf(original), (TimeStampServer{Kind::Rfc3161, std::string(codesign::kDefaultTimeStampUrl)}));
    // The RFC 3161 choice keeps the attempts, the wait and the file token.
    const std::string rfc = withTimeStampServer(original, {Kind::Rfc3161, "http://127.0.0.1:8080/tsa"});
    EXPECT_EQ(rfc, "-tr 10 -tw 2 -x -ts http://127.0.0.1:8080/tsa @FileName@");
    EXPECT_EQ(timeStampServerOf(rfc), (TimeStampServer{Kind::Rfc3161, "http://127.0.0.1:8080/tsa"}));
    EXPECT_EQ(withTimeStampServer(rfc, {Kind::Authenticode, "http://a/"}), "-tr 10 -tw 2 -x -t http://a/ @FileName@");
    // A template without a server gets one before the file, or at its end.
    EXPECT_FALSE(timeStampServerOf("-x -tsa-certs c.pem -tsa-key k.pem @FileName@").has_value());
    EXPECT_EQ(withTimeStampServer("-x @FileName@", {Kind::Rfc3161, "http://t/"}), "-x -ts http://t/ @FileName@");
    EXPECT_EQ(withTimeStampServer("-x", {Kind::Authenticode, "http://t/"}), "-x -t http://t/");
    EXPECT_FALSE(timeStampServerOf("-x -t").has_value());  // an option without its value
    EXPECT_TRUE(timeStampUrlProblem("http://tsa.example/").empty());
    for (const char* bad : {"", "http://a b/", "http://u@host/", "http://\"x\"/"})
        EXPECT_FALSE(timeStampUrlProblem(bad).empty()) << bad;
}

}  // namespace
}  // namespace pcn
