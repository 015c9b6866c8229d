#include "data_files.h"

#include "store/data_file.h"
#include "text/gbk.h"

#include <array>
#include <random>
#include <string_view>

namespace lorvane::bench {

namespace {

// 2017-01-01 00:00:00 UTC: the first record of every generated history.
constexpr std::time_t history_start = 1483228800;
// Openings lie one minute to two hours apart, so 100,000 records span about eleven years.
constexpr int shortest_gap_s = 60;
constexpr int longest_gap_s = 7200;
// 2040-01-01 00:00:00 UTC, after the last record of a 100,000-record history.
constexpr std::time_t after_history = 2208988800;
constexpr std::size_t max_episode = 60;
// One page in this many had no title element: its record is "|" and the address.
constexpr unsigned untitled_one_in = 40;
constexpr std::uint32_t seed = 20200617;

// Shows as the sites name them, some in traditional characters: the second GBK byte of 隱 is "[",
// of 觸, 質 and 縷 it is "|", of 誠 and 錦 it is "\".
constexpr std::array<std::string_view, 14> shows{"庆余年",     "隱秘的角落",   "錦繡未央", "流浪地球2", "觸不可及",
                                                 "誠實的孩子", "长安十二时辰", "繁花",     "狂飙",      "漫长的季节",
                                                 "質子的命運", "金縷衣",       "三体",     "甄嬛传"};
// The sites as their titles name them, in the order of the address forms of page_address.
constexpr std::array<std::string_view, 6> sites{"爱奇艺", "腾讯视频", "优酷", "芒果TV", "搜狐视频", "PPTV聚力"};
constexpr std::array<std::string_view, 6> tags{"[独播]", "[HD]", "[1080P]", "[会员抢先看]", "[国语]", "[超前点映]"};

// Fifty video-parsing services that a user collects over the years: a display name and the prefix
// that goes in front of a pasted address.
constexpr std::array<std::string_view, 10> link_names{"全民解析", "线路",     "通用VIP",  "云播",     "极速解析",
                                                      "备用接口", "高清线路", "万能接口", "8090解析", "星空解析"};

class Generator {
public:
    explicit Generator(std::uint32_t s) : random_(s) {}

    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

    Text hex(std::size_t digits) { return drawn_from("0123456789abcdef", digits); }
    Text alnum(std::size_t digits) {
        return drawn_from("0123456789ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz", digits);
    }

    Text number(std::size_t below_n) { return format_integer(static_cast<std::int64_t>(below(below_n) + 1)); }

    template <typename T, std::size_t n> std::string_view pick(const std::array<T, n>& from) { return from[below(n)]; }

    std::time_t gap() { return std::uniform_int_distribution<std::time_t>(shortest_gap_s, longest_gap_s)(random_); }

private:
    Text drawn_from(std::string_view alphabet, std::size_t digits) {
        Text out;
        for (std::size_t i = 0; i < digits; ++i) {
            out += alphabet[below(alphabet.size())];
        }
        return out;
    }

    std::mt19937 random_;
};

Text page_title(Generator& g, std::size_t site_index) {
    if (g.below(untitled_one_in) == 0) {
        return {};
    }
    const Text show = gbk(g.pick(shows));
    const Text site = gbk(sites[site_index]);
    const Text tag = gbk(g.pick(tags));
    const Text episode = g.number(max_episode);
    switch (g.below(5)) {
    case 0:
        return show + gbk(" 第") + episode + gbk("集 | ") + site;
    case 1:
        return tag + " " + show + gbk(" 第") + episode + gbk("集-") + site;
    case 2:
        return show + tag + gbk(" 高清完整版在线观看 - ") + site;
    case 3:
        return gbk("【") + show + gbk("】精彩看点 第") + episode + gbk("期 | ") + site + " " + tag;
    default:
        return show + gbk("_电视剧_高清完整版视频在线观看_") + site;
    }
}

// As the program stores it: a "|" of the address is written as "%7C".
Text page_address(Generator& g, std::size_t site_index) {
    switch (site_index) {
    case 0:
        return "https://www.iqiyi.com/v_19rr" + g.alnum(6) + ".html?vfm=2008_aldbd&fc=" + g.hex(16) + "&fv=p_02_01";
    case 1: {
        const Text vid = g.alnum(11);
        return "https://v.qq.com/x/cover/mzc00200" + g.alnum(7) + "/" + vid + ".html?ptag=share_11_11&vid=" + vid;
    }
    case 2:
        return "https://v.youku.com/v_show/id_X" + g.alnum(18) +
               "==.html?spm=a2h0c.8166622.PhoneSokuUgc_1.dscreenshot&s=" + g.hex(20);
    case 3:
        return "https://www.mgtv.com/b/" + g.number(600000) + "/" + g.number(20000000) +
               ".html?fpa=se&lastp=so_result%7Cdetail&cxid=" + g.alnum(8);
    case 4:
        return "https://tv.sohu.com/v/dXMvMzM1OTQ5NzE2LzQ" + g.alnum(12) + ".html?from=share&spm=smpc.channel_" +
               g.number(300) + ".0.0";
    default:
        return "http://v.pptv.com/show/" + g.alnum(14) + ".html?rcc_src=L1&spm=pc_web.0.0";
    }
}

} // namespace

Text generate_data_file(std::size_t records) {
    Generator g(seed);
    Text file = section_header(link_section()) + "\r\n";
    for (std::size_t i = 0; i < link_count; ++i) {
        file += gbk(link_names[i % link_names.size()]) +
                format_integer(static_cast<std::int64_t>(i / link_names.size() + 1)) + "=https://jx." + g.alnum(6) +
                ".cc/?url=\r\n";
    }
    file += section_header(selector_section()) + "\r\n" + selector_key() + "=3\r\n";
    file += section_header(history_section()) + "\r\n";
    std::time_t moment = history_start;
    for (std::size_t i = 0; i < records; ++i) {
        const std::size_t site = g.below(sites.size());
        file += format_timestamp(moment) + "=" + page_title(g, site) + "|" + page_address(g, site) + "\r\n";
        moment += g.gap();
    }
    return file;
}

std::time_t after_generated_history() {
    return after_history;
}

Text sample_page_address() {
    return "https://v.qq.com/x/cover/mzc002001uhk73a/s0047f7y1ek.html?ptag=share_11_11&vid=s0047f7y1ek";
}

} // namespace lorvane::bench
