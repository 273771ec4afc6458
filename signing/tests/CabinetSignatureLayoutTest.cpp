#include <gtest/gtest.h>
#include <unistd.h>

#include "signing/CabinetSignatureLayout.h"
#include "signing/tests/TestSupport.h"

namespace pcn {
namespace {

using namespace pcn::test;

TEST(CabinetSignatureLayout, RemovingTheReserveGivesTheCabinetWithoutOne) {
    for (bool next : {false, true}) {
        TestCabinet reserved{sampleFiles(), 6144};
        reserved.next = next;
        TestCabinet plain{sampleFiles()};
        plain.next = next;
        std::string withReserve = buildCabinet(reserved);
        ASSERT_EQ(inspectCabinetForSigning(withReserve).form, CabinetSigningForm::ReserveToRemove);
        std::string out, problem;
        ASSERT_TRUE(removeCabinetHeaderReserve(withReserve, out, problem)) << problem;
        // Field for field the cabinet that never had a reserve: cbCabinet,
        // coffFiles, flags and every folder's coffCabStart moved.
        EXPECT_EQ(out, buildCabinet(plain));
        EXPECT_EQ(inspectCabinetForSigning(out).form, CabinetSigningForm::Ready);
    }
    // Reserve fields present with a zero-sized reserve: the four bytes go.
    TestCabinet empty{sampleFiles(), 0, true};
    std::string out, problem;
    ASSERT_TRUE(removeCabinetHeaderReserve(buildCabinet(empty), out, problem));
    EXPECT_EQ(out, buildCabinet(TestCabinet{sampleFiles()}));
}

TEST(CabinetSignatureLayout, TellsWhatCannotBeSigned) {
    EXPECT_EQ(inspectCabinetForSigning("MZ\x90\0 not a cabinet").form, CabinetSigningForm::NotACabinet);
    EXPECT_EQ(inspectCabinetForSigning(buildCabinet({sampleFiles()})).form, CabinetSigningForm::Ready);

    TestCabinet continuation{sampleFiles(), 6144};
    continuation.previous = true;
    auto c = inspectCabinetForSigning(buildCabinet(continuation));
    EXPECT_EQ(c.form, CabinetSigningForm::Continuation);
    EXPECT_NE(c.problem.find("continuation cabinet"), std::string::npos);
    // On disk too, whatever the size of the reserve ahead of the set names.
    const fs::path dir = fs::temp_directory_path() / ("pcn-continuation-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    TestCabinet first{sampleFiles(), 6144};
    first.next = true;
    writeFile(dir / "2.CAB", buildCabinet(continuation));
    writeFile(dir / "1.CAB", buildCabinet(first));
    EXPECT_TRUE(isContinuationCabinetFile((dir / "2.CAB").string()));
    EXPECT_FALSE(isContinuationCabinetFile((dir / "1.CAB").string()));
    EXPECT_FALSE(isContinuationCabinetFile((dir / "missing.CAB").string()));
    fs::remove_all(dir);

    TestCabinet filled{sampleFiles(), 64};
    filled.reserveFill = 'D';
    EXPECT_EQ(inspectCabinetForSigning(buildCabinet(filled)).form, CabinetSigningForm::Unsupported);

    // The signature's own 20-byte reserve (a signed cabinet) is signed as it is.
    TestCabinet signedForm{sampleFiles(), 20};
    std::string cab = buildCabinet(signedForm);
    cab[36 + 4 + 2] = 0x10;  // abReserve starts 00 00 10 00
    EXPECT_EQ(inspectCabinetForSigning(cab).form, CabinetSigningForm::Ready);
}

TEST(CabinetSignatureLayout, AttachedSignatureComesOffAgain) {
    TestCabinet layout{sampleFiles()};
    layout.next = true;
    const std::string plain = buildCabinet(layout);
    const std::string blob(24, '\x30');
    std::string signedCab, back, problem, extracted;
    ASSERT_TRUE(attachCabinetSignature(plain, blob, signedCab, problem)) << problem;
    EXPECT_EQ(inspectCabinetForSigning(signedCab).form, CabinetSigningForm::Ready);
    ASSERT_TRUE(cabinetSignatureBlob(signedCab, extracted, problem)) << problem;
    EXPECT_EQ(extracted, blob);
    ASSERT_TRUE(unsignedCabinet(signedCab, back, problem)) << problem;
    EXPECT_EQ(back, plain);
    // From the signing reserve straight to the cabinet without it.
    TestCabinet reserved = layout;
    reserved.headerReserve = 6144;
    ASSERT_TRUE(unsignedCabinet(buildCabinet(reserved), back, problem));
    EXPECT_EQ(back, plain);
    // The twin is only for the first cabinet of a set: two empty names, then the real ones.
    std::string twin;
    ASSERT_TRUE(namesNextCabinet(plain));
    ASSERT_TRUE(cabinetDigestTwin(plain, twin, problem)) << problem;
    EXPECT_EQ(twin.size(), plain.size() + 2);
    EXPECT_FALSE(cabinetDigestTwin(buildCabinet({sampleFiles()}), twin, problem));
    // A signature whose recorded size disagrees with the file is refused.
    std::string bad = signedCab + "x";
    EXPECT_FALSE(unsignedCabinet(bad, back, problem));
}

TEST(CabinetSignatureLayout, MalformedHeadersFailWithoutReadingPastTheEnd) {
    std::string good = buildCabinet({sampleFiles(), 6144});
    // Every truncation of the header and folder area is refused or handled.
    for (size_t cut = 4; cut < 36 + 4 + 6144 + 16 + 40; ++cut) {
        std::string head = good.substr(0, cut);
        std::string out, problem;
        auto form = inspectCabinetForSigning(head).form;
        EXPECT_NE(form, CabinetSigningForm::Ready) << cut;
        if (form != CabinetSigningForm::ReserveToRemove) {
            EXPECT_FALSE(removeCabinetHeaderReserve(head, out, problem));
        }
    }
    auto corrupt = [&](size_t at, uint32_t value) {
        std::string bad = good;
        for (int i = 0; i < 4; ++i) bad[at + i] = char((value >> (8 * i)) & 0xFF);
        std::string out, problem;
        EXPECT_FALSE(removeCabinetHeaderReserve(bad, out, problem)) << at;
        EXPECT_FALSE(problem.empty());
    };
    corrupt(16, 0xFFFFFFF0);          // coffFiles beyond the end
    corrupt(16, 40);                  // coffFiles inside the header
    corrupt(36 + 4 + 6144, 100);      // a folder's data inside the header
    corrupt(8, 10);                   // cbCabinet smaller than the header
    TestCabinet unterminated{{}, 16};
    unterminated.next = true;
    std::string bad = buildCabinet(unterminated);
    bad.resize(36 + 4 + 16 + 5);  // cut inside the next cabinet's name
    EXPECT_EQ(inspectCabinetForSigning(bad).form, CabinetSigningForm::Unsupported);
}

}  // namespace
}  // namespace pcn
