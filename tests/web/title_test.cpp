// text_between and the title of a page body.

#include "text/gbk.h"
#include "web/web.h"

#include <gtest/gtest.h>

#include <ostream>

#include <random>
#include <string>

namespace lorvane {
namespace {

struct BetweenCase {
    const char* name;
    std::string source;
    std::string start_marker;
    std::string end_marker;
    Position start;
    bool ignore_case;
    std::string expected;
};

// Failures name the row, not its bytes.
void PrintTo(const BetweenCase& c, std::ostream* os) {
    *os << c.name;
}

class TextBetween : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetween, CutsOut) {
    const auto& c = GetParam();
    EXPECT_EQ(text_between(c.source, c.start_marker, c.end_marker, c.start, c.ignore_case), c.expected);
}

const std::string q = gbk("#引号");

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBetween,
    ::testing::Values(
        BetweenCase{"simple", "<b>bold</b>", "<b>", "</b>", 0, false, "bold"},
        BetweenCase{"nothing_trimmed_or_decoded", "<t> a &amp;\r\n b </t>", "<t>", "</t>", 0, false, " a &amp;\r\n b "},
        BetweenCase{"placeholder_in_start", "<a href=\"x.htm\">", "href=" + q, q, 0, false, "x.htm"},
        BetweenCase{"placeholders_in_both", "a=\"x\";b=\"y\";", "b=" + q, q + ";", 0, false, "y"},
        BetweenCase{"placeholder_twice", "<i class=\"t\">T</i>", "class=" + q + "t" + q + ">", "<", 0, false, "T"},
        BetweenCase{"placeholder_is_not_literal", gbk("x#引号y"), q, "y", 0, false, ""},
        BetweenCase{"start_zero_means_beginning", "[a][b]", "[", "]", 0, false, "a"},
        BetweenCase{"start_negative_means_beginning", "[a][b]", "[", "]", -5, false, "a"},
        BetweenCase{"start_on_second", "[a][b]", "[", "]", 4, false, "b"},
        BetweenCase{"start_inside_first", "[a][b]", "[", "]", 2, false, "b"},
        BetweenCase{"start_beyond_text", "[a][b]", "[", "]", 7, false, ""},
        BetweenCase{"end_searched_after_start_marker", "]x[a]", "[", "]", 0, false, "a"},
        BetweenCase{"end_overlapping_start_not_counted", "<<x<", "<<", "<", 0, false, "x"},
        BetweenCase{"no_end", "[abc", "[", "]", 0, false, ""}, BetweenCase{"no_start", "abc]", "[", "]", 0, false, ""},
        BetweenCase{"adjacent_markers", "<title></title>", "<title>", "</title>", 0, false, ""},
        BetweenCase{"case_counts", "<TITLE>x</TITLE>", "<title>", "</title>", 0, false, ""},
        BetweenCase{"ignore_case", "<TITLE>x</TITLE>", "<title>", "</title>", 0, true, "x"},
        BetweenCase{"ignore_case_end_only_too", "<title>x</TITLE>", "<title>", "</title>", 0, true, "x"},
        // "@" is the second byte of the GBK character 81 40 and must not match there.
        BetweenCase{"marker_inside_gbk_character", "\x81@@x@", "@", "@", 0, false, "x"},
        BetweenCase{"gbk_text", gbk("《标题》正文"), gbk("《"), gbk("》"), 0, false, gbk("标题")},
        BetweenCase{"empty_start_marker", "ab]c", "", "]", 0, false, "ab"},
        BetweenCase{"empty_end_marker", "[ab", "[", "", 0, false, ""},
        BetweenCase{"empty_source", "", "[", "]", 0, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct TitleCase {
    const char* name;
    std::string body;
    std::string title; // GBK
};

void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << c.name;
}

class PageTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(PageTitle, IsExtracted) {
    EXPECT_EQ(extract_page_title(GetParam().body), GetParam().title);
}

const std::string gbk_news = "\xD0\xC2\xCE\xC5"; // 新闻 in GBK bytes
const std::string padding_4k(4096, ' ');

INSTANTIATE_TEST_SUITE_P(
    Pages, PageTitle,
    ::testing::Values(
        TitleCase{"lower_case_pair", "<html><head><title>Hello</title></head></html>", "Hello"},
        TitleCase{"utf8_chinese", "<title>\xE6\x96\xB0\xE9\x97\xBB</title>", gbk_news},
        TitleCase{"upper_case", "<TITLE>Hello</TITLE>", "Hello"}, TitleCase{"mixed_case", "<TiTlE>Hi</tItLe>", "Hi"},
        TitleCase{"attributes", "<title data-vue-meta=\"true\">Hi</title>", "Hi"},
        TitleCase{"space_before_close", "<title >Hi</title >", "Hi"},
        TitleCase{"gt_in_quoted_attribute", "<title data-x='a>b' id=t>Hi</title>", "Hi"},
        TitleCase{"not_titles", "<titles>no</titles><title>yes</title>", "yes"},
        TitleCase{"end_tag_needs_its_name", "<title>a</titlex>b</title>", "a</titlex>b"},
        TitleCase{"markup_inside_is_text", "<title>a<b>c</b></title>", "a<b>c</b>"},
        TitleCase{"first_title_only", "<title>One</title><title>Two</title>", "One"},
        TitleCase{"first_unclosed_title_decides", "<title>One<title>Two</title>", "One<title>Two"},
        TitleCase{"empty_element", "<title></title>", ""}, TitleCase{"only_white_space", "<title> \r\n\t </title>", ""},
        TitleCase{"no_closing_tag", "<html><title>Hello", ""},
        TitleCase{"closing_tag_cut_off", "<title>Hello</title", ""},
        TitleCase{"start_tag_never_closed", "<title data-x=\"a>Hello</title>", ""},
        TitleCase{"no_title", "<html><body>Hello</body></html>", ""}, TitleCase{"empty_body", "", ""},
        TitleCase{"white_space_folded", "<title>\r\n  Hello \t\n  World\f \n</title>", "Hello World"},
        TitleCase{"references", "<title>A &amp; B &lt;C&gt; &quot;D&quot; &apos;E&#39;</title>", "A & B <C> \"D\" 'E'"},
        TitleCase{"numeric_references", "<title>&#x4E2D;&#25991;&#X41;</title>", gbk("中文A")},
        TitleCase{"decoded_once", "<title>&amp;lt;</title>", "&lt;"},
        TitleCase{"named_common", "<title>a&middot;b&mdash;c&hellip;&ldquo;d&rdquo;</title>", gbk("a·b—c…“d”")},
        TitleCase{"no_break_spaces_fold", "<title>a&nbsp;&nbsp;b \xC2\xA0 c&nbsp;</title>", "a b c"},
        TitleCase{"reference_line_break_folds", "<title>a&#10;&#13;b</title>", "a b"},
        TitleCase{"reference_outside_gbk", "<title>&#x1F600;!</title>", "?!"},
        TitleCase{"reference_zero_surrogate_too_big", "<title>&#0;&#xD800;&#1114112;&#99999999999;</title>", "????"},
        TitleCase{"reference_windows_1252", "<title>&#128;&#150;</title>", "\x80\xA8\x43"},
        TitleCase{"malformed_references_stay", "<title>&foo; &amp &#; &#xZZ; &#12a; & x</title>",
                  "&foo; &amp &#; &#xZZ; &#12a; & x"},
        TitleCase{"meta_charset_gbk", "<meta charset=\"gbk\"><title>" + gbk_news + "</title>", gbk_news},
        TitleCase{"meta_charset_unquoted_upper", "<META CHARSET=GB2312><title>" + gbk_news + "</title>", gbk_news},
        TitleCase{"meta_http_equiv_gb2312",
                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />"
                  "<title>" +
                      gbk_news + "</title>",
                  gbk_news},
        TitleCase{"meta_gbk_euro", "<meta charset=gbk><title>\x80 5</title>", "\x80 5"},
        // U+1E3F is in GB18030's four-byte area, not in GBK.
        TitleCase{"meta_gb18030", "<meta charset=gb18030><title>" + gbk_news + "\x81\x35\xF4\x37</title>",
                  gbk_news + "?"},
        TitleCase{"meta_gbk_broken_pair", "<meta charset=gbk><title>a\xD0</title>", "a?"},
        TitleCase{"gbk_without_declaration", "<title>" + gbk_news + "</title>", "????"},
        TitleCase{"declaration_after_4k_ignored", padding_4k + "<meta charset=gbk><title>" + gbk_news + "</title>",
                  "????"},
        TitleCase{"first_declaration_wins", "<meta charset=utf-8><meta charset=gbk><title>" + gbk_news + "</title>",
                  "????"},
        TitleCase{"declaration_in_comment_ignored", "<!-- <meta charset=gbk> --><title>" + gbk_news + "</title>",
                  "????"},
        TitleCase{"other_charset_is_utf8", "<meta charset=\"big5\"><title>\xE6\x96\xB0</title>", gbk("新")},
        TitleCase{"bom_does_not_matter", "\xEF\xBB\xBF<title>Hi</title>", "Hi"},
        TitleCase{"invalid_utf8_in_title",
                  "<title>a\xFF"
                  "b</title>",
                  "a?b"},
        TitleCase{"zero_before_title_ends_page", std::string("x\0<title>Hi</title>", 19), ""},
        TitleCase{"zero_after_title", std::string("<title>Hi</title>\0", 18), "Hi"}),
    [](const auto& info) { return std::string(info.param.name); });

// Well-formed GBK: every byte from 0x81 starts a pair with a trail byte 0x40..0xFE other than 0x7F.
bool is_well_formed_gbk(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0 || c == 0xFF) {
            return false;
        }
        if (c > 0x80) {
            if (i + 1 >= s.size()) {
                return false;
            }
            const auto t = static_cast<unsigned char>(s[++i]);
            if (t < 0x40 || t == 0x7F || t == 0xFF) {
                return false;
            }
        }
    }
    return true;
}

// Random pages stitched from pieces that matter to the decoder and the title scanner.
TEST(PageTitleRandom, AnyBody_givesOneLineOfWellFormedGbk) {
    const std::vector<std::string> pieces{"<title",
                                          "<TITLE ",
                                          "</title>",
                                          "</title",
                                          ">",
                                          "<",
                                          "\"",
                                          "'",
                                          "=",
                                          "&amp;",
                                          "&#",
                                          "&#x",
                                          ";",
                                          "&nbsp;",
                                          "1F600",
                                          "\r\n",
                                          " ",
                                          "\t",
                                          "\xE4\xB8\xAD",
                                          "\x80",
                                          "\xC2",
                                          "\xF0\x9F",
                                          std::string(1, '\0'),
                                          "<meta charset=gbk>",
                                          "<meta charset=gb18030>",
                                          "<!--",
                                          "-->",
                                          "\x81\x30",
                                          "a",
                                          "\xFF"};
    std::mt19937 random(20200617);
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 5000; ++round) {
        std::string body;
        for (int n = length(random); n > 0; --n) {
            body += pieces[piece(random)];
        }
        const Text title = extract_page_title(body);
        ASSERT_TRUE(is_well_formed_gbk(title)) << ::testing::PrintToString(body);
        ASSERT_EQ(title.find_first_of("\r\n\t\f"), std::string::npos) << ::testing::PrintToString(body);
        ASSERT_EQ(title.find("  "), std::string::npos) << ::testing::PrintToString(body);
        if (!title.empty()) {
            ASSERT_NE(title.front(), ' ');
            ASSERT_NE(title.back(), ' ');
        }
        ASSERT_TRUE(is_well_formed_gbk(decode_utf8_to_gbk(body))) << ::testing::PrintToString(body);
    }
}

} // namespace
} // namespace lorvane
