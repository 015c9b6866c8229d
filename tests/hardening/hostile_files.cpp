#include "hostile_files.h"

#include "platform/widget_text.h"
#include "store/data_file.h"
#include "store/section_keys.h"
#include "text/gbk.h"

#include <random>

namespace lorvane::test {

namespace {

using namespace Qt::Literals::StringLiterals;
using namespace std::string_literals;

constexpr std::size_t fifty_megabytes = 50u * 1024 * 1024;
constexpr int many_sections = 200'000;
constexpr std::size_t random_size = 64 * 1024;
constexpr unsigned random_seed = 20200617;

Text links_header() {
    return section_header(link_section()) + "\r\n";
}

Text history_header() {
    return section_header(history_section()) + "\r\n";
}

Text selector_lines() {
    return section_header(selector_section()) + "\r\n" + selector_key() + "=0\r\n";
}

Text history_lines() {
    return history_header() + gbk("2020年6月17日9时=标题|https://v.example/1\r\n");
}

// Three links, the odd bytes in place of the line end after A: the text is cut there, or A's line
// runs on into B's.
Text links_around(const Text& odd) {
    return links_header() + "A=https://a.example/?url=" + odd + "B=https://b.example/\r\nC=https://c.example/\r\n";
}

HostileFile random_binary() {
    std::mt19937 random(random_seed);
    Text bytes(random_size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    // What the program can read of it is whatever its own listing finds.
    const Text text = data_text_of(bytes);
    QStringList links;
    for (const Text& key : list_section_keys_in(text, section_header(link_section()))) {
        links << to_qstring(key);
    }
    const auto history = section_present_with_entries(text, history_section())
                             ? list_section_keys_in(text, section_header(history_section())).size()
                             : 0;
    return {"random_binary", HostileFile::Kind::bytes, bytes, links, static_cast<int>(history), true};
}

std::vector<HostileFile> build() {
    using Kind = HostileFile::Kind;
    std::vector<HostileFile> files;
    // A zero byte or Ctrl+Z ends the text the lists are read from: B, C and the history are out of
    // sight, but the facility still finds them and keeps them.
    files.push_back(
        {"nul_byte", Kind::bytes, links_around("\0"s) + history_lines() + selector_lines(), {u"A"_s}, 0, true});
    files.push_back(
        {"ctrl_z", Kind::bytes, links_around("\x1A") + history_lines() + selector_lines(), {u"A"_s}, 0, true});
    // Only CR LF ends a line: B's line is part of A's.
    files.push_back({"lone_lf", Kind::bytes, links_around("\n") + history_lines(), {u"A"_s, u"C"_s}, 1, true});
    files.push_back({"cr_without_lf", Kind::bytes, links_around("\r") + history_lines(), {u"A"_s, u"C"_s}, 1, true});
    // The last line has no CR LF and ends in the lead byte of a character cut off.
    files.push_back({"lead_byte_at_the_end",
                     Kind::bytes,
                     history_lines() + selector_lines() + links_header() + "A=https://a.example/\r\nZ=https://z/\xB1",
                     {u"A"_s, u"Z"_s},
                     1,
                     true});
    // Pairs that are no GBK: a lead byte FF, a second byte out of range, 80 (the euro sign) as lead.
    const Text bad_names[] = {"\xFF\xFE", "\x81\x7F", "\x80\x80"};
    Text invalid = links_header();
    QStringList invalid_links;
    for (const Text& name : bad_names) {
        invalid += name + "=https://x.example/\xFF/\r\n";
        invalid_links << to_qstring(name);
    }
    files.push_back({"invalid_gbk", Kind::bytes, invalid + history_header() + "\xFF\xFE=\xFE\xFF|https://v/\r\n",
                     invalid_links, 1, true});
    Text long_line = links_header() + "A=https://a.example/\r\nB=https://b.example/?";
    long_line.append(fifty_megabytes, 'x');
    long_line += "\r\n" + history_lines();
    files.push_back({"fifty_megabytes_in_one_line", Kind::bytes, std::move(long_line), {u"A"_s, u"B"_s}, 1, true});
    Text sections;
    for (int i = 0; i < many_sections; ++i) {
        sections += "[s" + std::to_string(i) + "]\r\nk=v\r\n";
    }
    files.push_back({"two_hundred_thousand_sections",
                     Kind::bytes,
                     sections + links_header() + "A=https://a.example/\r\n" + history_lines(),
                     {u"A"_s},
                     1,
                     true});
    files.push_back(random_binary());
    files.push_back({"empty_file", Kind::bytes, "", {}, 0, true});
    files.push_back({"directory_in_its_place", Kind::directory, "", {}, 0, false});
    files.push_back(
        {"without_read_permission", Kind::unreadable, links_around("\r\n") + history_lines(), {}, 0, false});
    return files;
}

} // namespace

const std::vector<HostileFile>& hostile_files() {
    static const std::vector<HostileFile> files = build();
    return files;
}

} // namespace lorvane::test
