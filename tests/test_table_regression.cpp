// Byte identity of long result tables.  The program's speed work must leave
// every byte of its output as it was, so each table below is compared, by
// its SHA-256 digest, with the digest recorded from the version whose rows
// the worked-example and identity tests check, before that work began.  The
// tables cover stations at mid latitudes, near and on the polar axis, in the
// southern hemisphere and at western longitudes, all four position
// notations, every geometry mode and two combinations, spans across days,
// years and leap seconds, and steps from half a second to thirty hours.
//
// These digests are change detectors, not references: they hold the
// program's own earlier output, so they say that a change moved a byte, not
// that either version was right.  What makes the numbers right is tested
// against outside references elsewhere (the IERS test cases of the tide
// model, worked examples, independent derivations).  A digest may only be
// recorded anew for a change meant to alter the output, with that change's
// reason.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/sha256.h"
#include "support/table.h"

using testsupport::ParseRow;
using testsupport::ProgramRun;
using testsupport::RunProgram;
using testsupport::Sha256;
using testsupport::Sha256Hex;
using testsupport::SplitLines;
using testsupport::TableRow;

// The digest itself first: the standard test messages of FIPS 180-4 and
// message lengths around the padding boundaries (digests from coreutils
// sha256sum).
TEST(Sha256Digest, StandardMessages) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnop"
                        "jklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256Digest, LengthsAroundThePaddingBoundary) {
    const struct {
        std::size_t length;
        const char* digest;
    } cases[] = {
        {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {65, "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
        {119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sha256Hex(std::string(c.length, 'a')), c.digest) << c.length << " bytes";
    }
}

TEST(Sha256Digest, PiecewiseUpdatesGiveTheDigestOfTheWhole) {
    const std::string message(1000000, 'a');
    for (std::size_t piece : {1u, 7u, 63u, 64u, 65u, 4096u}) {
        Sha256 s;
        for (std::size_t at = 0; at < message.size(); at += piece) {
            const std::size_t n = message.size() - at < piece ? message.size() - at : piece;
            s.Update(message.data() + at, n);
        }
        EXPECT_EQ(s.Hex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0")
            << "pieces of " << piece;
    }
}

namespace {

struct Table {
    const char* what;
    std::vector<std::string> args;
    std::size_t rows;    // epochs from the start to the end epoch, counted by hand
    const char* digest;  // SHA-256 of the whole standard output
};

const Table kTables[] = {
    {"mid latitude, dd.mmss, across a year's end, 60 s",
     {"-pd46.03,14.30,300", "-e12019-12-31/00:00:00", "-e22020-01-02/23:59:00", "-ed00:01:00"},
     4320,
     "186e4583f8b42e798d7d3b3d70d8e8f12be967699ef6c2646d7c0245dbf1d744"},
    {"near the north pole, western longitude, 10 s",
     {"-pc89.99,-120.5,50", "-e12021-03-20/00:00:00", "-e22021-03-20/23:59:50", "-ed00:00:10"},
     8640,
     "ed9ccc0f79ff980af9c33a53a8e5ebb1599f208abe4f99d852d6b2e06911bac6"},
    {"southern hemisphere, decimal degrees, 1 s",
     {"-pc-33.9249,18.4241,10", "-e12018-06-21/10:00:00", "-e22018-06-21/11:59:59", "-ed00:00:01"},
     7200,
     "2c5341fd2716d7873670007ad08fdc14c1c2b2c328a3d51309a69efae56eea71"},
    {"western longitude in radians, a month at 7.5 min",
     {"-pr0.7,-1.3,1500", "-e12022-02-01/00:00:00", "-e22022-03-02/23:52:30", "-ed00:07:30"},
     5760,
     "b519b0f4fa7db6c1314c9b2ce1a8fc03515b26ae849f7e4550a754b571e6c475"},
    {"Cartesian station, hourly across the leap second of 2016-12-31",
     {"-px-2500000,-4600000,3500000", "-e12016-06-01/00:00:00", "-e22017-05-31/23:00:00", "-ed1"},
     8760,
     "3d0c7d30ad7941058b2a24cd57e43520c321ce46e65ec324e0fadabf9f4ec3f3"},
    {"southern and western, 1 s across the leap second of 2015-06-30",
     {"-pd-12.0345,-77.0250,150", "-e12015-06-30/23:00:00", "-e22015-07-01/01:00:00",
      "-ed00:00:01"},
     7201,
     "a145bee91550493f2cf0630be93a7b3f6202d0711b4cab055b7e64fe14bc8cf9"},
    {"the first leap seconds, 1971-12-31 to 1972-07-02 at 3 h",
     {"-pc52.1,5.2,0", "-e11971-12-31/00:00:00", "-e21972-07-02/00:00:00", "-ed03:00:00"},
     1473,
     "878b488eaa13fe5b99ad682a4856120b08e0df68a562a0ce031d76fb320f6376"},
    {"equator at 180 degrees, a decade at 12 h",
     {"-pc0,180,0", "-e12010-01-01/00:00:00", "-e22019-12-31/12:00:00", "-ed12"},
     7304,
     "4978bd34a3d0c0bbfbff2aa7258427e0fbf6f9841038d7884bc09a8db84d0f45"},
    {"south pole on the polar axis, 5 min",
     {"-pc-90,0,2800", "-e12030-01-01/00:00:00", "-e22030-01-03/00:00:00", "-ed00:05:00"},
     577,
     "70806cc4eb77e3a4c593328dd8d38d648fb3045d7c2eda3f0f219f2aa9bbd37a"},
    {"half-second steps",
     {"-pd40.2642,-3.4107,700", "-e12023-10-29/01:50:00", "-e22023-10-29/02:10:00",
      "-ed00:00:00.5"},
     2401,
     "76fdfd911589e552016b856dc7c4cf0233e9a1915504c1058426d408c2aa50cf"},
    {"-gk across a leap day",
     {"-pd46.03,14.30,300", "-gk", "-e12020-02-28/00:00:00", "-e22020-03-01/23:59:00",
      "-ed00:01:00"},
     4320,
     "f7af663afbf7421faa9a6c79d2739d796f5152920fcefe73904f07b13997bf54"},
    {"-goS in the southern hemisphere",
     {"-pc-45.87,170.5,0", "-goS", "-e12024-07-15/00:00:00", "-e22024-07-15/23:59:30",
      "-ed00:00:30"},
     2880,
     "130f1292992a5ab8b6ffec28ab34c91ea731afcd513240df5fad885d6f53cfef"},
    {"-goL near the south pole, western longitude",
     {"-pc-78.0,-165.0,50", "-goL", "-e12025-12-31/00:00:00", "-e22025-12-31/23:59:00",
      "-ed00:01:00"},
     1440,
     "eb5ff79d2c4d12dfaf5bf0b2ee64ea84b1512de78933ce6ce0537967eae31689"},
    {"-goN at a western longitude",
     {"-pc37.77,-122.42,20", "-goN", "-e12019-05-01/00:00:00", "-e22019-05-03/00:00:00",
      "-ed00:02:00"},
     1441,
     "d486480050ef1365efc659182de6f6ebae771a3c00f15d24964c80036deac3e3"},
    {"-gk and -goN together",
     {"-pc10,-60,0", "-goN", "-gk", "-e12020-12-31/12:00:00", "-e22021-01-01/11:59:00",
      "-ed00:01:00"},
     1440,
     "5feebc94192db91e3a6587eb5b04954e97224ba813890ee4c529c50090ebb2e9"},
    {"-goS and -goL together",
     {"-pc60,25,0", "-goL", "-goS", "-e12017-08-21/00:00:00", "-e22017-08-21/23:58:30",
      "-ed00:01:30"},
     960,
     "42d52a3903b3f2e041b2b9ae0103320ccc0b99e09a26779828c23f505d3413d6"},
    {"the last days of 2199",
     {"-pc35,139.7,40", "-e12199-12-30/00:00:00", "-e22199-12-31/23:59:59", "-ed00:03:00"},
     960,
     "b2c29df2582ded46c06f1ee7d15fbc04676e65b3413e6f6b12b28ee6a5a6db50"},
    {"the first days of 1901",
     {"-pc-23.5,-46.6,760", "-e11901-01-01/00:00:00", "-e21901-01-02/23:57:00", "-ed00:03:00"},
     960,
     "c3248698f7f79a0453bd90f7f5bc9642b16c76fb67799c2409a42ec03048868b"},
    {"30-hour steps over four years",
     {"-pc51.5,-0.1,30", "-e12020-01-01/00:00:00", "-e22023-12-31/18:00:00", "-ed30:00:00"},
     1169,
     "710ab185280f580bfce9464fc77691139fdc4c0ae4378fccf70b28d06233522c"},
    {"a whole day at one-second steps, western longitude",
     {"-pd48.5130,-123.2200,120", "-e12023-03-26/00:00:00", "-e22023-03-26/23:59:59",
      "-ed00:00:01"},
     86400,
     "977d3e203f704900e3638c451c4889e832988a8d7c81a4fd0b8469cc5b5cf4e8"},
};

}  // namespace

TEST(TableByteIdentity, LongTablesKeepTheirRecordedDigests) {
    std::size_t total = 0;
    for (const Table& t : kTables) {
        SCOPED_TRACE(t.what);
        const ProgramRun run = RunProgram(HAVORKASTILO_EXE, t.args);
        ASSERT_TRUE(run.exited) << run.err;
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        const std::vector<std::string> lines = SplitLines(run.out);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.size() - 2, t.rows);
        for (std::size_t i = 2; i < lines.size(); ++i) {
            TableRow row;
            std::string why;
            ASSERT_TRUE(ParseRow(lines[i], row, &why)) << "row " << i - 1 << ": " << why;
        }
        EXPECT_EQ(Sha256Hex(run.out), t.digest)
            << "first row: " << (lines.size() > 2 ? lines[2] : std::string());
        total += lines.size() - 2;
    }
    // Over a hundred thousand rows in all.
    EXPECT_GT(total, 150000u);
}
