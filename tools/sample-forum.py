#!/usr/bin/env python3
"""Generates the sample forum that nginx serves on 127.0.0.1 for running, testing and benchmarking offline.

Usage: sample-forum.py DIR BASE [CHARSET [MARKUP]]
       sample-forum.py --fixtures OUTDIR BASE
  BASE is the forum base address, e.g. http://127.0.0.1:8431/; CHARSET is gbk (the default) or utf-8; MARKUP is
  design (the default), discuz-x3, discuz-x3-rewrite or discuz-7.

MARKUP picks the forum software whose pages the forum serves:
  design             the program's own page design: thread-N-1-1.html, absolute member links under BASE, 404 for a
                     missing thread
  discuz-x3          Discuz! X3.4: forum.php?mod=viewthread&tid=N, member links home.php?mod=space&amp;uid=N
  discuz-x3-rewrite  Discuz! X3.4 with URL rewriting: thread-N-1-1.html, space-uid-N.html
  discuz-7           Discuz! 7.1: viewthread.php?tid=N, space.php?uid=N
The real-software markups answer a missing or hidden thread (ids ending in 9 or 7, negative ids) as the software
does, with its "thread does not exist" notice and HTTP 200, and put threads whose tens digit is 4 (ids above 20,
40-49, 140-149, ...) behind a login: without the sample member's cookie (sample_forum_markups.LOGIN_COOKIE_*) the
software's login-required notice, with it the thread as that member sees it. Thread 1030 there links other members
above its author (sample_forum_markups.TRAP_TID).

Writes into DIR:
  site/index.html               home page with the member count and thread links
  site/404.html                 error page of missing threads (design) and of unknown addresses
  site/thread-N-1-1.html        hand-made pages of the special thread ids (design)
  site/special/thread-N.html    hand-made pages of the special thread ids (the other markups)
  site/tpl/kind-D.html          SSI templates of every other thread id, chosen by the id's last digit D
  site/tpl/walled-D[-member].html  a walled thread's page for a guest (the login notice) and for the member
  site/tpl/missing.html         the notice of a thread that does not exist (the other markups)
  forum.conf                    the nginx server-level directives that map thread addresses onto these files
  forum-http.conf               the nginx http-level directives they need (the member cookie)
  forum.base, forum.charset, forum.markup   what the pages were made for

With --fixtures, writes in GBK for each markup M: OUTDIR/M/home.html, OUTDIR/M/thread-ID.html for ids 1-20,
1000-1009, 1040-1049 and 1030 as a guest gets them, and OUTDIR/M/member-thread-ID.html for 1040-1049 as the
sample member gets them: byte for byte what the server answers (a 404's body for the design's missing threads).

Every page is in CHARSET and says so in its meta tag; a UTF-8 forum's pages give the same text as the GBK
one's once converted to GBK, except where a page holds half a character on purpose (id 11). The id -> (title, UID, user name, exists) rule is mirrored by ExpectedThread() in
tests/support/sample_forum.cpp; tools/check-sample-forum.sh proves that the served pages and that function agree.
"""

import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sample_forum_markups as real  # noqa: E402

MEMBER_COUNT = "12,345"
CHARSETS = ("gbk", "utf-8")
MARKUPS = ("design", "discuz-x3", "discuz-x3-rewrite", "discuz-7")
charset = "gbk"  # the charset of the forum being generated
PAGE_BYTES = 36 * 1024  # thread pages are about this size, like the real forum's

# Generic thread ids: the id's last digit picks the kind of page. {tid} is the id in decimal, {uid} is "1"
# followed by the id without its last digit. Digit 7 is a page without any marker, digit 9 a missing thread.
GENERIC_KINDS = {
    "0": ("示例主题 {tid}：本地论坛的日常讨论", "会员{uid}"),
    "1": ("Thread {tid}: plain ASCII subject", "user_{uid}"),
    "2": ("问 &amp; 答 {tid} &lt;精华&gt; &quot;置顶&quot;", "张三&amp;{uid}"),
    "3": ("　全角空格开头 {tid}  ", "李 四{uid}"),
    # 誠 謀 衆 end in the byte 0x5C ("\"), 觸 in 0x7C ("|").
    "4": ("繁體 {tid} 觸發誠信謀", "衆誠{uid}"),
    "5": ("超长标题{tid}：" + "这是一个很长的标题" * 12, "王五{uid}"),
    "6": ("【公告】第{tid}号 版规更新 (2024-01-01) #1", "管理员{uid}"),
    "8": ("求助：{tid} 号机器无法启动？？", "Tester{uid}号"),
}
NO_MARKER_DIGIT = "7"
MISSING_DIGIT = "9"

SSI_TID = '<!--# echo var="tid" encoding="none" -->'
SSI_UID = '1<!--# echo var="head" encoding="none" default="" -->'


def home_link(base, uid):
    return f"{base}home.php?mod=space&amp;uid={uid}"


def subject(title):
    return f'<span rel="start" id="thread_subject">{title}</span>'


def uid_card(base, uid, name):
    """The author's profile card; its link is the first "<strong><a href=" of a thread page."""
    return (
        f'<div class="i y"><div><strong><a href="{home_link(base, uid)}" target="_blank" class="xi2">'
        f"{name}</a></strong></div><dl class=\"cl\"><dt>积分</dt><dd>1024</dd><dt>帖子</dt><dd>56</dd></dl></div>\n"
    )


def author_block(base, uid, name):
    return f'<div class="authi"><a href="{home_link(base, uid)}" target="_blank" class="xw1">{name}</a>\n</div>\n'


def page_head(base, plain_title):
    return f"""<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<meta http-equiv="Content-Type" content="text/html; charset={charset}" />
<title>{plain_title} - 技术交流 - 示例论坛</title>
<meta name="keywords" content="{plain_title}" />
<meta name="description" content="示例论坛 本地测试用的帖子页面" />
<base href="{base}" />
<link rel="stylesheet" type="text/css" href="data/cache/style_1_common.css?v1" />
<link rel="stylesheet" type="text/css" href="data/cache/style_1_forum_viewthread.css?v1" />
<script type="text/javascript">var STYLEID = '1', IMGDIR = 'static/image/common', VERHASH = 'v1', charset = '{charset}', cookiepre = 'qm_', cookiedomain = '', cookiepath = '/', attackevasive = '0', disallowfloat = 'newthread', REPORTURL = '', SITEURL = '{base}', JSPATH = 'static/js/';</script>
<script src="static/js/common.js?v1" type="text/javascript"></script>
</head>
<body id="nv_forum" class="pg_viewthread" onkeydown="if(event.keyCode==27) return false;">
<div id="append_parent"></div><div id="ajaxwaitid"></div>
<div id="toptb" class="cl">
<div class="wp">
<div class="z"><a href="javascript:;" onclick="setHomepage('{base}');">设为首页</a><a href="{base}" onclick="addFavorite(this.href, '示例论坛');return false;">收藏本站</a></div>
<div class="y"><a id="switchblind" href="javascript:;" onclick="toggleBlind(this)" title="开启辅助访问" class="switchblind">开启辅助访问</a></div>
</div>
</div>
<div id="hd">
<div class="wp">
<div class="hdc cl"><h2><a href="{base}" title="示例论坛"><img src="static/image/common/logo.png" alt="示例论坛" border="0" /></a></h2>
<form method="post" autocomplete="off" id="lsform" action="member.php?mod=logging&amp;action=login&amp;loginsubmit=yes&amp;infloat=yes&amp;lssubmit=yes">
<div class="fastlg cl"><span id="return_ls" style="display:none"></span>
<div class="y pns"><table cellspacing="0" cellpadding="0"><tr>
<td><label for="ls_username">帐号</label></td><td><input type="text" name="username" id="ls_username" class="px vm xg1" value="用户名/Email" /></td>
<td class="fastlg_l"><label for="ls_cookietime"><input type="checkbox" name="cookietime" id="ls_cookietime" class="pc" value="2592000" />自动登录</label></td>
<td>&nbsp;<a href="javascript:;" onclick="showWindow('login', 'member.php?mod=logging&amp;action=login&amp;viewlostpw=1')">找回密码</a></td>
</tr><tr>
<td><label for="ls_password">密码</label></td><td><input type="password" name="password" id="ls_password" class="px vm" autocomplete="off" /></td>
<td class="fastlg_l"><button type="submit" class="pn vm" style="width: 75px;"><em>登录</em></button></td>
<td>&nbsp;<a href="member.php?mod=register" class="xi2 xw1">立即注册</a></td>
</tr></table></div></div></form>
</div>
<div id="nv"><ul>
<li class="a" id="mn_forum"><a href="forum.php" hidefocus="true" title="BBS">论坛<span>BBS</span></a></li>
<li id="mn_group"><a href="group.php" hidefocus="true" title="Group">群组<span>Group</span></a></li>
<li id="mn_home"><a href="home.php" hidefocus="true" title="Space">动态<span>Space</span></a></li>
<li id="mn_search"><a href="search.php" hidefocus="true" title="Search">搜索<span>Search</span></a></li>
</ul></div>
</div>
</div>
<div id="wp" class="wp">
<div id="pt" class="bm cl"><div class="z"><a href="./" class="nvhm" title="首页">示例论坛</a> <em>&raquo;</em> <a href="forum.php">论坛</a> <em>&rsaquo;</em> <a href="forum-2-1.html">技术交流</a> <em>&rsaquo;</em> <a href="forum-2-1.html">主题列表</a></div></div>
<div id="ct" class="wp cl">
<div id="pgt" class="pgs mbm cl "><div class="pgt"><div class="pg"><strong>1</strong><a href="#">2</a><a href="#">3</a><a href="#" class="nxt">下一页</a></div></div>
<span class="y pgb"><a href="forum-2-1.html">返回列表</a></span><a id="newspecial" href="javascript:;" title="发新帖"><img src="static/image/common/pn_post.png" alt="发新帖" /></a></div>
"""


def post_start(subject_html):
    return f"""<div id="postlist" class="pl bm">
<table cellspacing="0" cellpadding="0"><tr><td class="pls ptn pbn"><div class="hm ptn"><span class="xg1">查看:</span> <span class="xi1">2048</span><span class="pipe">|</span><span class="xg1">回复:</span> <span class="xi1">31</span></div></td>
<td class="plc ptm pbn vwthd"><h1 class="ts"><a href="forum-2-1.html">[技术交流]</a>
{subject_html}
</h1>
<span class="xg1"><a href="#" onclick="return copyThreadUrl(this, '示例论坛')">[复制链接]</a></span></td></tr></table>
<table cellspacing="0" cellpadding="0" class="ad"><tr><td class="pls"></td><td class="plc"></td></tr></table>
<div id="post_1"><table id="pid1" class="plhin" summary="pid1" cellspacing="0" cellpadding="0"><tr><td class="pls" rowspan="2">
"""


POST_END = """<div class="p_pop blk bui card_gender_0" id="userinfo1" style="display: none;"><div class="m z"><div id="userinfo1_ma"></div></div></div>
</td><td class="plc"><div class="pi"><div class="pti"><div class="authi"><em id="authorposton1">发表于 2024-1-1 08:00:00</em>
<span class="pipe">|</span><a href="#" rel="nofollow">只看该作者</a></div></div></div>
<div class="pct"><div class="pcb"><div class="t_fsz"><table cellspacing="0" cellpadding="0"><tr><td class="t_f" id="postmessage_1">
本帖是本地示例论坛生成的测试内容，用于离线运行、测试和性能评测。<br />
页面结构与真实论坛相近：标题、作者和回复都在固定的位置。<br />
</td></tr></table></div></div></div>
</td></tr></table></div>
"""

PAGE_FOOT = """</div>
<div id="ft" class="wp cl"><div id="flk" class="y"><p><a href="archiver/">Archiver</a><span class="pipe">|</span><a href="forum.php?mobile=yes">手机版</a><span class="pipe">|</span><strong><a href="./" target="_blank">示例论坛</a></strong></p>
<p class="xs0">GMT+8, 2024-1-1 08:00<span id="debuginfo">, Processed in 0.031250 second(s), 18 queries.</span></p></div>
<div id="frt"><p>本站内容均为本地生成的示例数据</p></div></div>
<script type="text/javascript">if(typeof lazyload === 'object') lazyload.init();</script>
</body>
</html>
"""

REPLY_TEXTS = [
    "谢谢楼主分享，收藏了慢慢看。",
    "我也遇到过同样的问题，按照楼上的方法重新安装以后就好了。",
    "Linux &amp; Windows 下的表现不一样，建议先看看日志。",
    "顶一下，希望更多人看到这个帖子！",
    "请问这个方法在旧版本上还能用吗？我的系统是很多年前装的。",
    "路过，学习了。",
]


def replies(base, target_size, used):
    """Reply posts that pad a page to `target_size` bytes; their authors are UIDs 900001 and up."""
    out = []
    n = 0
    while used < target_size:
        n += 1
        uid = 900000 + n
        name = f"回复者{n:02d}"
        text = REPLY_TEXTS[n % len(REPLY_TEXTS)]
        post = (
            f'<div id="post_{n + 1}"><table id="pid{n + 1}" class="plhin" summary="pid{n + 1}" cellspacing="0" '
            f'cellpadding="0"><tr><td class="pls" rowspan="2">\n<div class="pi">\n'
            + author_block(base, uid, name)
            + "</div>\n"
            + uid_card(base, uid, name)
            + f'<div class="avatar"><a href="{home_link(base, uid)}" class="avtm" target="_blank">'
            f'<img src="uc_server/avatar.php?uid={uid}&amp;size=middle" /></a></div>\n'
            f'</td><td class="plc"><div class="pi"><strong><a href="#" id="postnum{n + 1}">{n + 1}<sup>#</sup></a>'
            f'</strong><div class="pti"><div class="authi"><em id="authorposton{n + 1}">发表于 2024-1-{n % 28 + 1} '
            f"09:{n % 60:02d}:00</em></div></div></div>\n"
            f'<div class="pct"><div class="pcb"><div class="t_fsz"><table cellspacing="0" cellpadding="0"><tr>'
            f'<td class="t_f" id="postmessage_{n + 1}">\n{text}<br />\n{text}\n</td></tr></table></div></div></div>\n'
            f'<div class="po hin"><div class="pob cl"><em><a class="fastre" href="#">回复</a></em>'
            f'<p><a href="javascript:;" onclick="showWindow(\'miscreport{n + 1}\', \'misc.php?mod=report\')">举报</a>'
            f"</p></div></div>\n</td></tr></table></div>\n"
        )
        out.append(post)
        used += len(post.encode(charset))
    return "".join(out)


def thread_page(base, *, plain_title, subject_html, author_html, home_base=None):
    """A thread page: header, the subject, the first post's author markup, reply posts, footer."""
    home_base = home_base or base
    top = page_head(base, plain_title) + post_start(subject_html) + author_html + POST_END
    used = len(top.encode(charset)) + len(PAGE_FOOT.encode(charset))
    return top + replies(home_base, PAGE_BYTES, used) + PAGE_FOOT


def author_cell(author_blocks, card):
    """The first post's author column: the name line(s), then the profile card."""
    return '<div class="pi">\n' + author_blocks + "</div>\n" + card


def normal_page(base, title, uid, name, plain_title=None):
    return thread_page(
        base,
        plain_title=plain_title if plain_title is not None else title,
        subject_html=subject(title),
        author_html=author_cell(author_block(base, uid, name), uid_card(base, uid, name)),
    )


def no_marker_page(base):
    """What the forum answers for a thread that is hidden or under review: a message page, HTTP 200."""
    top = (
        page_head(base, "提示信息")
        + '<div id="messagetext" class="alert_error"><p>抱歉，指定的主题不存在或已被删除或正在被审核</p>'
        + '<p class="alert_btnleft"><a href="javascript:history.back()">[ 点击这里返回上一页 ]</a></p></div>\n'
        + '<div class="bm"><div class="bm_h"><h2>推荐阅读</h2></div><ul class="xl xl1 cl">\n'
    )
    used = len(top.encode(charset)) + len(PAGE_FOOT.encode(charset))
    links = []
    while used < PAGE_BYTES:
        n = len(links) + 1
        link = (
            f'<li><a href="thread-{n}-1-1.html" title="推荐阅读 {n}">推荐阅读：本地论坛第 {n} 篇精选文章</a>'
            f'<span class="xg1"> 2024-1-{n % 28 + 1}</span></li>\n'
        )
        links.append(link)
        used += len(link.encode(charset))
    return top + "".join(links) + "</ul></div>\n" + PAGE_FOOT


def generic_template(base, digit):
    title, name = GENERIC_KINDS[digit]
    fill = {"tid": SSI_TID, "uid": SSI_UID}
    return normal_page(base, title.format(**fill), SSI_UID, name.format(**fill))


def replace_once(page, old, new):
    if old not in page:
        raise AssertionError(f"sample-forum: page lacks {old!r}")
    return page.replace(old, new, 1)


def special_pages(base):
    """Hand-made thread pages by id. Ids not listed here follow the generic rule."""
    pages = {}

    def add(tid, text):
        pages[tid] = text.encode(charset) if isinstance(text, str) else text

    add(1, normal_page(base, "欢迎来到示例论坛", 1, "admin"))
    # Two title spans: the first one counts.
    page = normal_page(base, "第一个标题", 2, "双标题作者")
    add(2, replace_once(page, "</h1>", subject("第二个标题") + "\n</h1>"))
    # A title that holds "</span>" is cut there.
    add(3, normal_page(base, "如何在帖子里写 </span> 标签", 3, "html爱好者", plain_title="如何在帖子里写 标签"))
    # Markers are case-sensitive: an upper-case SPAN is not the title.
    page = normal_page(base, "大写标记", 4, "大写")
    add(4, replace_once(page, subject("大写标记"), '<SPAN rel="start" id="thread_subject">大写标记</SPAN>'))
    # No title span at all, but an author.
    page = normal_page(base, "没有标题", 5, "无题作者")
    add(5, replace_once(page, subject("没有标题"), '<span class="xg1">没有标题</span>'))
    # The UID link names 1006, the author block 2006: no user name.
    add(6, thread_page(
        base,
        plain_title="UID 与作者块不符",
        subject_html=subject("UID 与作者块不符"),
        author_html=author_cell(author_block(base, 2006, "另一个人"), uid_card(base, 1006, "卡片上的人")),
    ))
    # An empty title span.
    add(7, normal_page(base, "", 7, "空标题"))
    # An empty body with HTTP 200.
    add(8, b"")
    # A zero byte early in the page: the text ends there, so nothing is found.
    page = normal_page(base, "零字节之后", 10, "看不见").encode(charset)
    add(10, replace_once(page, b"<head>", b"<head>\0"))
    # A text cut in the middle of a two-byte character right before the title span: the dangling lead byte
    # swallows the "<", so the title marker is not found at a character start.
    page = normal_page(base, "半个字之后的标题", 11, "半个字").encode(charset)
    # In UTF-8, whose characters never end inside another's bytes, the half character takes nothing with it.
    half = b"\xd6" if charset == "gbk" else "字".encode(charset)[:2]
    add(11, replace_once(page, b'<span rel="start"', "技术交".encode(charset) + half + b'<span rel="start"'))
    add(12, normal_page(base, "Linux &amp; Windows 双系统 &gt;&gt; 安装教程 &#8226; 第二版", 12, "老&amp;王"))
    add(13, normal_page(base, '"带引号的标题"', 13, "'单引号'", plain_title="带引号的标题"))
    add(14, normal_page(base, "超长标题：" + "一二三四五六七八九十" * 30, 14, "长标题作者"))
    # A UID link but no author block.
    add(15, thread_page(
        base,
        plain_title="无作者块",
        subject_html=subject("无作者块"),
        author_html=author_cell("", uid_card(base, 15, "只有卡片")),
    ))
    # An author block of another user comes before the author's own: the name is the one for the UID.
    add(16, thread_page(
        base,
        plain_title="两个作者块",
        subject_html=subject("两个作者块"),
        author_html=uid_card(base, 16, "真正作者")
        + author_cell(author_block(base, 99, "别人") + author_block(base, 16, "真正作者"), ""),
    ))
    # Links to the user pages under an old address: neither UID nor name.
    old = base + "old/"
    add(17, thread_page(
        base,
        plain_title="旧地址链接",
        subject_html=subject("旧地址链接"),
        author_html=author_cell(author_block(old, 17, "旧地址作者"), uid_card(old, 17, "旧地址作者")),
        home_base=old,
    ))
    # A guest post: empty UID, and the author block for the empty UID carries the name.
    add(18, normal_page(base, "游客发帖", "", "游客"))
    # A title of blanks only (a full-width and an ASCII space) is kept as it stands.
    add(20, normal_page(base, "　 ", 20, "空白标题", plain_title="空白"))
    return pages


def home_page(base):
    forums = "".join(
        f'<tr><td class="fl_g"><div class="fl_icn_g"><a href="forum-{n}-1.html"><img src="static/image/common/'
        f'forum.gif" alt="" /></a></div><dl><dt><a href="forum-{n}-1.html">版块 {n}</a></dt>'
        f"<dd><em>主题: {n * 37}</em>, <em>帖数: {n * 512}</em></dd></dl></td></tr>\n"
        for n in range(1, 30)
    )
    return (
        page_head(base, "论坛首页")
        + '<div id="chart" class="bm bw0 cl"><p class="chart z">今日: <em>12</em><span class="pipe">|</span>'
        + '昨日: <em>34</em><span class="pipe">|</span>帖子: <em>56,789</em><span class="pipe">|</span>'
        + f'会员: <em>{MEMBER_COUNT}</em><span class="pipe">|</span>欢迎新会员: <em><a href="{home_link(base, 12345)}"'
        + ' target="_blank" class="xi2">新来的</a></em></p></div>\n'
        + f'<div class="fl bm"><table cellspacing="0" cellpadding="0" class="fl_tb">\n{forums}</table></div>\n'
        + PAGE_FOOT
    )


ERROR_PAGE = """<!DOCTYPE html>
<html>
<head><meta http-equiv="Content-Type" content="text/html; charset={charset}" /><title>404 页面不存在</title></head>
<body><h1>404 页面不存在</h1><p>抱歉，您访问的帖子不存在或已被删除。</p><p><a href="./">返回示例论坛首页</a></p></body>
</html>
"""


def nginx_locations(site, specials):
    """Server-level nginx directives: home page, hand-made pages, templates by last digit, missing threads."""
    root = site.replace("\\", "\\\\").replace('"', '\\"')
    exact = "".join(f"location = /thread-{tid}-1-1.html {{ }}\n" for tid in sorted(specials))
    kinds = "".join(sorted([*GENERIC_KINDS, NO_MARKER_DIGIT]))
    return f"""# Sample forum pages (written by tools/sample-forum.py).
root "{root}";
index index.html;
error_page 404 /404.html;
location = /404.html {{ internal; }}
location /tpl/ {{ internal; }}
# Hand-made pages of special thread ids.
{exact}# Missing threads: ids ending in {MISSING_DIGIT}.
location ~ "^/thread-(?!0[0-9])[0-9]{{0,9}}{MISSING_DIGIT}-1-1\\.html$" {{ return 404; }}
# Every other thread id: the template of its last digit, with the id filled in by SSI.
location ~ "^/thread-(?!0[0-9])(?<tid>(?<head>[0-9]{{0,9}})(?<d>[{kinds}]))-1-1\\.html$" {{
    ssi on;
    rewrite ^ /tpl/kind-$d.html break;
}}
"""


# ---------------------------------------------------------------------------------------------------------------
# The forum in the markup of real forum software (tools/sample_forum_markups.py renders the pages).

# The last digits of threads that exist: every digit but the hidden (7) and the missing (9) one.
WALLED_DIGITS = sorted(GENERIC_KINDS)


def real_special_pages(forum):
    """Hand-made thread pages by id, the design's hostile cases in the software's own markup."""
    pages = {}

    def add(tid, text):
        pages[tid] = text.encode(charset) if isinstance(text, str) else text

    def page(tid, plain_title, subject_html, blocks, card, uid, home="", **more):
        left, header = forum.first_post_author(blocks, card, tid, home)
        return forum.thread_page(tid, plain_title, subject_html, left, uid, author_right=header, home=home, **more)

    add(1, forum.normal_page(1, "欢迎来到示例论坛", 1, "admin"))
    # Two title elements: the first one counts.
    first = forum.subject("第一个标题")
    add(2, replace_once(forum.normal_page(2, "第一个标题", 2, "双标题作者"), first,
                        first + "\n" + forum.second_subject("第二个标题")))
    # A title that holds the title element's closing tag is cut there.
    add(3, forum.normal_page(3, f"如何在帖子里写 {forum.subject_close} 标签", 3, "html爱好者",
                             plain_title="如何在帖子里写 标签"))
    # Markers are case-sensitive: an upper-case tag is not the title.
    add(4, replace_once(forum.normal_page(4, "大写标记", 4, "大写"), forum.subject("大写标记"),
                        forum.upper_subject("大写标记")))
    # No title element at all, but an author.
    add(5, replace_once(forum.normal_page(5, "没有标题", 5, "无题作者"), forum.subject("没有标题"),
                        forum.no_subject("没有标题")))
    # The profile card names 1006, the author's name line 2006: no user name.
    add(6, page(6, "UID 与作者块不符", forum.subject("UID 与作者块不符"), [(2006, "另一个人")], (1006, "卡片上的人"), 1006))
    # An empty title element.
    add(7, forum.normal_page(7, "", 7, "空标题"))
    # An empty body with HTTP 200.
    add(8, b"")
    # A zero byte early in the page: the text ends there, so nothing is found.
    add(10, replace_once(forum.normal_page(10, "零字节之后", 10, "看不见").encode(charset), b"<head>", b"<head>\0"))
    # Half a two-byte character right before the title element: in GBK the dangling lead byte swallows the "<".
    half = b"\xd6" if charset == "gbk" else "字".encode(charset)[:2]
    opening = forum.subject_open.encode(charset)
    add(11, replace_once(forum.normal_page(11, "半个字之后的标题", 11, "半个字").encode(charset), opening,
                         "技术交".encode(charset) + half + opening))
    add(12, forum.normal_page(12, "Linux &amp; Windows 双系统 &gt;&gt; 安装教程 &#8226; 第二版", 12, "老&amp;王"))
    add(13, forum.normal_page(13, '"带引号的标题"', 13, "'单引号'", plain_title="带引号的标题"))
    add(14, forum.normal_page(14, "超长标题：" + "一二三四五六七八九十" * 30, 14, "长标题作者"))
    # A profile card but no name line.
    add(15, page(15, "无作者块", forum.subject("无作者块"), [], (15, "只有卡片"), 15))
    # Another user's name line comes before the author's own: the name is the one for the UID.
    add(16, page(16, "两个作者块", forum.subject("两个作者块"), [(99, "别人"), (16, "真正作者")], (16, "真正作者"), 16))
    # Member links under an old address of the forum: neither UID nor name.
    add(17, page(17, "旧地址链接", forum.subject("旧地址链接"), [(17, "旧地址作者")], (17, "旧地址作者"), 17,
                 home=forum.base + "old/"))
    # A guest's thread with guests' replies: the software links no member at all.
    add(18, forum.thread_page(18, "游客发帖", forum.subject("游客发帖"), forum.guest_left(), None, guest_replies=True))
    # A title of blanks only (a full-width and an ASCII space) is kept as it stands.
    add(20, forum.normal_page(20, "　 ", 20, "空白标题", plain_title="空白"))
    # Other members are linked above the author: a generic thread's values, but a block of repliers on top.
    title, name = GENERIC_KINDS["0"]
    tid = real.TRAP_TID
    uid = "1" + str(tid)[:-1]
    add(tid, page(tid, title.format(tid=tid), forum.subject(title.format(tid=tid)),
                  [(uid, name.format(uid=uid))], (uid, name.format(uid=uid)), uid, trap=forum.trap_block()))
    return pages


def ssi(template):
    """A generic page with its sentinel numbers turned into the SSI echoes nginx fills in."""
    return template.replace(real.UID_SENTINEL.encode(), SSI_UID.encode()).replace(
        real.TID_SENTINEL.encode(), SSI_TID.encode())


def walled(tid):
    """Whether a thread id is behind the login: above 20, tens digit 4, and a thread that exists."""
    text = str(tid)
    return tid > 20 and text[-2] == "4" and text[-1] in WALLED_DIGITS


class RealForum:
    """Every page of a real-software markup's forum, and what the server answers for a thread id."""

    def __init__(self, markup, base):
        self.forum = forum = real.make(markup, base, charset, REPLY_TEXTS, PAGE_BYTES)
        self.specials = real_special_pages(forum)
        self.templates = {}
        self.member_templates = {}
        tid, uid = real.TID_SENTINEL, real.UID_SENTINEL
        for digit in WALLED_DIGITS:
            title, name = GENERIC_KINDS[digit]
            fill = {"tid": tid, "uid": uid}
            for member, into in ((False, self.templates), (True, self.member_templates)):
                page = forum.normal_page(tid, title.format(**fill), uid, name.format(**fill), member=member)
                into[digit] = page.encode(charset)
        self.missing = forum.missing_page().encode(charset)
        self.login = forum.login_page().encode(charset)
        threads = [(1, "欢迎来到示例论坛"), (1000, GENERIC_KINDS["0"][0].format(tid=1000)),
                   (1001, GENERIC_KINDS["1"][0].format(tid=1001))]
        self.home = forum.home_page(threads).encode(charset)

    def page(self, tid, member):
        """What nginx answers for thread tid, to a guest or to the sample member."""
        if tid in self.specials:
            return self.specials[tid]
        text = str(tid)
        if tid < 0 or text[-1] not in WALLED_DIGITS:
            return self.missing
        if walled(tid) and not member:
            return self.login
        template = (self.member_templates if walled(tid) else self.templates)[text[-1]]
        return template.replace(real.UID_SENTINEL.encode(), ("1" + text[:-1]).encode()).replace(
            real.TID_SENTINEL.encode(), text.encode())


REAL_HTTP_CONF = f"""# Sample forum (written by tools/sample-forum.py): the sample member's session cookie picks the member's view.
map $cookie_{real.LOGIN_COOKIE_NAME} $qm_member_view {{
    default "";
    "{real.LOGIN_COOKIE_VALUE}" "-member";
}}
"""

# How each markup addresses a thread; every form ends in the internal /t/ID, which picks the page.
REAL_ADDRESSES = {
    "discuz-x3": """location = /forum.php {
    if ($arg_mod = "viewthread") { rewrite ^ /t/$arg_tid? last; }
    rewrite ^ /index.html last;
}
""",
    "discuz-x3-rewrite": """location = /forum.php {
    if ($arg_mod = "viewthread") { rewrite ^ /t/$arg_tid? last; }
    rewrite ^ /index.html last;
}
# The software's rewrite rule takes digits only; anything else is the web server's 404.
location ~ "^/thread-(?<qm_tid>[0-9]+)-[0-9]+-[0-9]+\\.html$" { rewrite ^ /t/$qm_tid last; }
""",
    "discuz-7": """location = /index.php { rewrite ^ /index.html last; }
location = /viewthread.php { rewrite ^ /t/$arg_tid? last; }
""",
}


def real_nginx_locations(site, markup, specials):
    """Server-level nginx directives of a real-software markup's forum."""
    root = site.replace("\\", "\\\\").replace('"', '\\"')
    ids = "|".join(str(tid) for tid in sorted(specials))
    digits = "".join(WALLED_DIGITS)
    return f"""# Sample forum pages in the {markup} markup (written by tools/sample-forum.py).
root "{root}";
index index.html;
error_page 404 /404.html;
location = /404.html {{ internal; }}
location /tpl/ {{ internal; }}
location /special/ {{ internal; }}
{REAL_ADDRESSES[markup]}# Any other id: the software's notice that the thread does not exist, with HTTP 200.
location /t/ {{ internal; rewrite ^ /tpl/missing.html break; }}
# Hand-made pages of special thread ids.
location ~ "^/t/(?<qm_id>{ids})$" {{ internal; rewrite ^ /special/thread-$qm_id.html break; }}
# Threads whose tens digit is 4: the login notice, or the member's page when the request has the member's cookie.
location ~ "^/t/(?!0[0-9])(?<tid>(?<head>[0-9]{{0,8}}4)(?<d>[{digits}]))$" {{
    internal;
    ssi on;
    rewrite ^ /tpl/walled-$d$qm_member_view.html break;
}}
# Every other thread: the template of its last digit, with the id filled in by SSI.
location ~ "^/t/(?!0[0-9])(?<tid>(?<head>[0-9]{{0,9}})(?<d>[{digits}]))$" {{
    internal;
    ssi on;
    rewrite ^ /tpl/kind-$d.html break;
}}
"""


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def check_arguments(base, page_charset, markup):
    if page_charset not in CHARSETS:
        raise SystemExit(f"sample-forum: charset must be one of {', '.join(CHARSETS)}: {page_charset}")
    if markup not in MARKUPS:
        raise SystemExit(f"sample-forum: markup must be one of {', '.join(MARKUPS)}: {markup}")
    if not (base.startswith("http://") and base.endswith("/")):
        raise SystemExit(f"sample-forum: base address must start with http:// and end with /: {base}")


def generate(out_dir, base, page_charset, markup="design"):
    global charset
    check_arguments(base, page_charset, markup)
    charset = page_charset
    out_dir = os.path.abspath(out_dir)
    site = os.path.join(out_dir, "site")
    shutil.rmtree(site, ignore_errors=True)
    os.makedirs(os.path.join(site, "tpl"))

    write(os.path.join(site, "404.html"), ERROR_PAGE.replace("{charset}", charset).encode(charset))
    if markup == "design":
        write(os.path.join(site, "index.html"), home_page(base).encode(charset))
        specials = special_pages(base)
        for tid, data in specials.items():
            write(os.path.join(site, f"thread-{tid}-1-1.html"), data)
        for digit in GENERIC_KINDS:
            write(os.path.join(site, "tpl", f"kind-{digit}.html"), generic_template(base, digit).encode(charset))
        write(os.path.join(site, "tpl", f"kind-{NO_MARKER_DIGIT}.html"), no_marker_page(base).encode(charset))
        write(os.path.join(out_dir, "forum.conf"), nginx_locations(site, specials).encode("ascii"))
        write(os.path.join(out_dir, "forum-http.conf"), b"# The design markup needs no http-level directives.\n")
    else:
        forum = RealForum(markup, base)
        write(os.path.join(site, "index.html"), forum.home)
        os.makedirs(os.path.join(site, "special"))
        for tid, data in forum.specials.items():
            write(os.path.join(site, "special", f"thread-{tid}.html"), data)
        for digit in WALLED_DIGITS:
            write(os.path.join(site, "tpl", f"kind-{digit}.html"), ssi(forum.templates[digit]))
            write(os.path.join(site, "tpl", f"walled-{digit}.html"), forum.login)
            write(os.path.join(site, "tpl", f"walled-{digit}-member.html"), ssi(forum.member_templates[digit]))
        write(os.path.join(site, "tpl", "missing.html"), forum.missing)
        write(os.path.join(out_dir, "forum.conf"), real_nginx_locations(site, markup, forum.specials).encode("ascii"))
        write(os.path.join(out_dir, "forum-http.conf"), REAL_HTTP_CONF.encode("ascii"))
    write(os.path.join(out_dir, "forum.base"), (base + "\n").encode("ascii"))
    write(os.path.join(out_dir, "forum.charset"), (charset + "\n").encode("ascii"))
    write(os.path.join(out_dir, "forum.markup"), (markup + "\n").encode("ascii"))


def design_page(base, specials, templates, tid):
    """What nginx answers for a thread id of the design markup (a 404's body for a missing thread)."""
    if tid in specials:
        return specials[tid]
    text = str(tid)
    if tid < 0 or text[-1] == MISSING_DIGIT:
        return ERROR_PAGE.replace("{charset}", charset).encode(charset)
    page = templates[text[-1]]
    return page.replace(SSI_UID.encode(), ("1" + text[:-1]).encode()).replace(SSI_TID.encode(), text.encode())


def write_fixtures(out_dir, base):
    """The pages the C++ unit tests read: per markup, what the server answers for a few ids, in GBK."""
    global charset
    check_arguments(base, "gbk", "design")
    charset = "gbk"
    guest_ids = [*range(1, 21), *range(1000, 1010), *range(1040, 1050), real.TRAP_TID]
    member_ids = range(1040, 1050)
    for markup in MARKUPS:
        folder = os.path.join(out_dir, markup)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        if markup == "design":
            specials = special_pages(base)
            templates = {d: generic_template(base, d).encode(charset) for d in GENERIC_KINDS}
            templates[NO_MARKER_DIGIT] = no_marker_page(base).encode(charset)
            write(os.path.join(folder, "home.html"), home_page(base).encode(charset))
            for tid in guest_ids:
                write(os.path.join(folder, f"thread-{tid}.html"), design_page(base, specials, templates, tid))
            for tid in member_ids:
                write(os.path.join(folder, f"member-thread-{tid}.html"), design_page(base, specials, templates, tid))
            continue
        forum = RealForum(markup, base)
        write(os.path.join(folder, "home.html"), forum.home)
        for tid in guest_ids:
            write(os.path.join(folder, f"thread-{tid}.html"), forum.page(tid, member=False))
        for tid in member_ids:
            write(os.path.join(folder, f"member-thread-{tid}.html"), forum.page(tid, member=True))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--fixtures":
        write_fixtures(sys.argv[2], sys.argv[3])
    elif 3 <= len(sys.argv) <= 5:
        generate(sys.argv[1], sys.argv[2], *sys.argv[3:])
    else:
        raise SystemExit(
            f"usage: sample-forum.py DIR BASE [{'|'.join(CHARSETS)} [{'|'.join(MARKUPS)}]]\n"
            "       sample-forum.py --fixtures OUTDIR BASE"
        )
