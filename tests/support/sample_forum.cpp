// The sample forum's thread pages as the walker must see them (tools/sample-forum.py makes the pages).
#include "tests/support/sample_forum.h"

#include <optional>

namespace {

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

using Page = ExpectedThreadPage;

Page Missing() {
    return {"", "", "", false};
}

std::optional<Page> HandMade(int id, SampleForumCharset charset, SampleForumMarkup markup) {
    switch (id) {
        case 1: return Page{"欢迎来到示例论坛", "1", "admin"};
        case 2: return Page{"第一个标题", "2", "双标题作者"};
        case 3: return Page{"如何在帖子里写 ", "3", "html爱好者"};
        case 4: return Page{"", "4", "大写"};  // upper-case SPAN
        case 5: return Page{"", "5", "无题作者"};
        case 6: return Page{"UID 与作者块不符", "1006", ""};
        case 7: return Page{"", "7", "空标题"};
        case 8: return Page{};   // empty body
        case 10: return Page{};  // zero byte before every marker
        case 11:                 // half a character before the title span: a GBK lead byte swallows the "<"
            return Page{charset == SampleForumCharset::kGbk ? "" : "半个字之后的标题", "11", "半个字"};
        case 12:
            return Page{"Linux &amp; Windows 双系统 &gt;&gt; 安装教程 &#8226; 第二版", "12", "老&amp;王"};
        case 13: return Page{"\"带引号的标题\"", "13", "'单引号'"};
        case 14: return Page{"超长标题：" + Repeat("一二三四五六七八九十", 30), "14", "长标题作者"};
        case 15: return Page{"无作者块", "15", ""};
        case 16: return Page{"两个作者块", "16", "真正作者"};
        case 17: return Page{"旧地址链接", "", ""};  // user links under another address
        case 18:  // a guest's thread: the real software links no member on it
            return Page{"游客发帖", "", markup == SampleForumMarkup::kDesign ? "游客" : ""};
        case 20: return Page{"　 ", "20", "空白标题"};
        default: return std::nullopt;
    }
}

}  // namespace

ExpectedThreadPage ExpectedThread(int id, SampleForumCharset charset, SampleForumMarkup markup) {
    if (auto page = HandMade(id, charset, markup)) return *page;
    if (id < 0) return Missing();

    const bool real_software = markup != SampleForumMarkup::kDesign;
    const std::string tid = std::to_string(id);
    const std::string uid = "1" + tid.substr(0, tid.size() - 1);
    Page page;
    switch (tid.back()) {
        case '0': page = {"示例主题 " + tid + "：本地论坛的日常讨论", uid, "会员" + uid}; break;
        case '1': page = {"Thread " + tid + ": plain ASCII subject", uid, "user_" + uid}; break;
        case '2':
            page = {"问 &amp; 答 " + tid + " &lt;精华&gt; &quot;置顶&quot;", uid, "张三&amp;" + uid};
            break;
        case '3': page = {"　全角空格开头 " + tid + "  ", uid, "李 四" + uid}; break;
        case '4':
            page = {"繁體 " + tid + " 觸發誠信謀", uid, "衆誠" + uid};
            break;  // trail bytes 0x7C and 0x5C
        case '5':
            page = {"超长标题" + tid + "：" + Repeat("这是一个很长的标题", 12), uid, "王五" + uid};
            break;
        case '6': page = {"【公告】第" + tid + "号 版规更新 (2024-01-01) #1", uid, "管理员" + uid}; break;
        case '7':
            return Missing();  // a hidden thread: the forum's notice that it does not exist, with HTTP 200
        case '8': page = {"求助：" + tid + " 号机器无法启动？？", uid, "Tester" + uid + "号"}; break;
        default: return Missing();
    }
    page.needs_login = real_software && id > 20 && tid[tid.size() - 2] == '4';
    return page;
}

const char* SampleForumMemberCount(SampleForumMarkup markup) {
    // Discuz prints the count as a plain number.
    return markup == SampleForumMarkup::kDesign ? kSampleForumMemberCount : "12345";
}
