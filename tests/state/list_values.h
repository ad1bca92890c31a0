// Values that a list file must carry unchanged: blanks and quotes at the ends, INI punctuation, GBK
// characters whose trail bytes are "\", "|", "[" or "]", entities, the empty text and the longest value.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> AwkwardListValues() {
    std::string longest;
    while (longest.size() < 8190) longest += "长";
    longest += "ab";
    return {
        "",
        "  两端空格  ",
        "\t制表符\t",
        "　全角空格开头 13  ",
        "结尾全角　",
        "\"带引号的标题\"",
        "'单引号'",
        "\"",
        "'",
        "\"\"",
        "\"开头引号",
        "结尾引号'",
        "a=b;c[d]e",
        "[1]",
        ";注释",
        "=开头",
        "Linux &amp; Windows &gt;&gt; 安装教程 &#8226; 第二版",
        "繁體 觸發誠信謀 衆誠 覽乚",
        "结尾控制符\x1A",
        "中间\t的\x0B控制符",
        longest,
    };
}
