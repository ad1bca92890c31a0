"""The sample forum's pages in the markup of real forum software: Discuz! X3 (plain and URL-rewritten) and Discuz! 7.

tools/sample-forum.py builds the forum; this module renders its pages. Every page is transcribed from what the
software's default templates put out (template/default/forum/viewthread.htm and viewthread_node.htm,
common/header.htm, header_userstatus.htm, member/login_simple.htm, common/showmessage.htm and forum/discuz.htm of
Discuz! X3.4 as compiled; templates/default/header.htm, viewthread.htm, viewthread_node.htm, showmessage.htm,
nopermission.htm and discuz.htm of Discuz! 7), with the language strings filled in as the software does. Header,
footer, forms and scripts are shortened where nothing the walker reads is involved.

A generic thread page is rendered once per kind with sentinel numbers in place of the thread id and the author's
UID (TID_SENTINEL, UID_SENTINEL); the server swaps in nginx SSI echoes, the fixture writer the real numbers.
"""

import re
from urllib.parse import quote

FORUM_NAME = "示例论坛"
FORUM_FID = 2
FORUM_TITLE = "技术交流"
MEMBER_TOTAL = "12345"  # Discuz prints the member count as a plain number

# The sample member: who a logged-in visitor is, and the session cookie that says so (Discuz! X3 names its
# cookies <cookiepre><4 hex digits of md5(path|domain)>_<name>; "2132" is what the default path and domain give).
MEMBER_UID = 8888
MEMBER_NAME = "示例会员"
LOGIN_COOKIE_NAME = "qm_2132_auth"
LOGIN_COOKIE_VALUE = "b7f9OqvM2m7pXcR%2FkT8aYw4HnE0sL5jD3uZ6iG1"

# Stand-ins for the thread id and the author's UID in generic page templates; no other number on a page contains
# them or is contained in them.
TID_SENTINEL = "97531864"
UID_SENTINEL = "186420975"

# The thread whose page links other members before its author's block.
TRAP_TID = 1030
TRAP_MEMBERS = (900003, 900005, 900008)

POST_DATE = "2024-1-1 08:00"
FIRST_PID = 1001

MESSAGE = (
    "本帖是本地示例论坛生成的测试内容，用于离线运行、测试和性能评测。<br />\n"
    "页面结构按真实论坛程序的模板生成：标题、作者和回复都在它们原本的位置。<br />\n"
)


def reply_author(n):
    return 900000 + n, f"回复者{n:02d}"


# ---------------------------------------------------------------------------------------------------------------
# Discuz! X3


class DiscuzX3:
    """Discuz! X3.4, default template, guest or logged-in view; with rewrite, its URL rewriting turned on."""

    def __init__(self, base, charset, reply_texts, page_bytes, rewrite=False):
        self.base = base
        self.charset = charset
        self.reply_texts = reply_texts
        self.page_bytes = page_bytes
        self.rewrite = rewrite
        self.key = "discuz-x3-rewrite" if rewrite else "discuz-x3"
        self.subject_open = '<span id="thread_subject">'
        self.subject_close = "</span>"

    # -- pieces the hand-made pages vary --------------------------------------------------------------------

    def subject(self, title):
        return f"{self.subject_open}{title}{self.subject_close}"

    def upper_subject(self, title):
        return f'<SPAN id="thread_subject">{title}</SPAN>'

    def no_subject(self, title):
        return f'<span class="xg1">{title}</span>'

    def second_subject(self, title):
        return self.subject(title)

    @staticmethod
    def space(uid, home=""):
        return f"{home}home.php?mod=space&amp;uid={uid}"

    def author_block(self, uid, name, home=""):
        """The name line at the top of a post's left column (the default "authoronleft" layout)."""
        return f'<div class="authi"><a href="{self.space(uid, home)}" target="_blank" class="xw1">{name}</a>\n</div>\n'

    def card(self, uid, name, pid, tid, home=""):
        """The hidden profile card, the avatar and the author's counters below the name line."""
        raw = f"{home}home.php?mod=space&uid={uid}"
        return (
            f'<div class="p_pop blk bui card_gender_0" id="userinfo{pid}" style="display: none; margin-top: -11px;">\n'
            f'<div class="m z">\n<div id="userinfo{pid}_ma"></div>\n</div>\n<div class="i y">\n<div>\n'
            f'<strong><a href="{self.space(uid, home)}" target="_blank" class="xi2">{name}</a></strong>\n'
            f"<em>当前离线</em>\n</div><dl class=\"cl\">\n"
            f'<dt>积分</dt><dd><a href="{raw}&do=profile" target="_blank" class="xi2">1024</a></dd>\n'
            f'</dl><div class="imicn">\n'
            f'<a href="{self.space(uid, home)}&amp;do=profile" target="_blank" title="查看详细资料">'
            f'<img src="static/image/common/userinfo.gif" alt="查看详细资料" /></a>\n'
            f'</div>\n<div id="avatarfeed"><span id="threadsortswait"></span></div>\n</div>\n</div>\n'
            f'<div>\n<div class="avatar" onmouseover="showauthor(this, \'userinfo{pid}\')">'
            f'<a href="{self.space(uid, home)}" class="avtm" target="_blank">'
            f'<img src="{self.base}uc_server/avatar.php?uid={uid}&size=middle" /></a></div>\n</div>\n'
            f'<div class="tns xg2"><table cellspacing="0" cellpadding="0"><th><p>'
            f'<a href="{raw}&do=thread&type=thread&view=me&from=space" class="xi2">56</a></p>主题</th><th><p>'
            f'<a href="{raw}&do=thread&type=reply&view=me&from=space" class="xi2">312</a></p>帖子</th><td><p>'
            f'<a href="{raw}&do=profile" class="xi2">1024</a></p>积分</td></table></div>\n\n'
            f'<p><em><a href="home.php?mod=spacecp&amp;ac=usergroup&amp;gid=10" target="_blank">新手上路</a></em></p>\n\n'
            f'<p><span><img src="static/image/common/star_level1.gif" alt="Rank: 1" /></span></p>\n\n'
            f'<ul class="xl xl2 o cl">\n<li class="addflw">\n'
            f'<a href="{home}home.php?mod=spacecp&amp;ac=follow&amp;op=add&amp;hash=1a2b3c4d&amp;fuid={uid}" '
            f'id="followmod_{uid}" title="收听TA" class="xi2" onclick="showWindow(\'followmod\', this.href, \'get\', 0);">收听TA</a>\n'
            f'</li>\n<li class="pm2"><a href="{home}home.php?mod=spacecp&amp;ac=pm&amp;op=showmsg&amp;handlekey=showmsg_{uid}'
            f'&amp;touid={uid}&amp;pmid=0&amp;daterange=2&amp;pid={pid}&amp;tid={tid}" onclick="showWindow(\'sendpm\', this.href);" '
            f'title="发消息" class="xi2">发消息</a></li>\n</ul>\n'
        )

    def left_column(self, blocks, card):
        return '<div class="pi">\n' + blocks + "</div>\n" + card

    def member_left(self, uid, name, pid, tid, home=""):
        return self.left_column(self.author_block(uid, name, home), self.card(uid, name, pid, tid, home))

    def first_post_author(self, blocks, card, tid, home=""):
        """(left column, post header) of the first post: name lines for blocks, a profile card for card."""
        names = "".join(self.author_block(uid, name, home) for uid, name in blocks)
        card_html = self.card(*card, FIRST_PID, tid, home) if card else ""
        return self.left_column(names, card_html), ""

    @staticmethod
    def guest_left():
        return '<div class="pi">\n<a href="javascript:;">匿名 <em>127.0.0.x</em></a>\n</div>\n'

    # -- page skeleton ----------------------------------------------------------------------------------------

    def head(self, title, module):
        b = self.base
        return f"""<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<meta http-equiv="Content-Type" content="text/html; charset={self.charset}" />
<title>{title} -  {FORUM_NAME} -  Powered by Discuz!</title>

<meta name="keywords" content="{title}" />
<meta name="description" content="{title} ,{FORUM_NAME}" />
<meta name="generator" content="Discuz! X3.4" />
<meta name="author" content="Discuz! Team and Comsenz UI Team" />
<meta name="copyright" content="2001-2017 Comsenz Inc." />
<meta name="MSSmartTagsPreventParsing" content="True" />
<meta http-equiv="MSThemeCompatible" content="Yes" />
<base href="{b}" /><link rel="stylesheet" type="text/css" href="data/cache/style_1_common.css?Qm8" /><link rel="stylesheet" type="text/css" href="data/cache/style_1_forum_{module}.css?Qm8" /><script type="text/javascript">var STYLEID = '1', STATICURL = 'static/', IMGDIR = 'static/image/common', VERHASH = 'Qm8', charset = '{self.charset}', discuz_uid = '{{uid}}', cookiepre = 'qm_2132_', cookiedomain = '', cookiepath = '/', showusercard = '1', attackevasive = '0', disallowfloat = 'newthread', creditnotice = '1|威望|,2|金钱|,3|贡献|', defaultstyle = '', REPORTURL = 'aHR0cDovLzEyNy4wLjAuMQ==', SITEURL = '{b}', JSPATH = 'static/js/', CSSPATH = 'data/cache/style_', DYNAMICURL = '';</script>
<script src="static/js/common.js?Qm8" type="text/javascript"></script>
<meta name="application-name" content="{FORUM_NAME}" />
<meta name="msapplication-tooltip" content="{FORUM_NAME}" />
<meta name="msapplication-task" content="name=论坛;action-uri={b}forum.php;icon-uri={b}static/image/common/bbs.ico" />
<link rel="archives" title="{FORUM_NAME}" href="{b}archiver/" />
<script src="static/js/forum.js?Qm8" type="text/javascript"></script>
</head>

<body id="nv_forum" class="pg_{module}" onkeydown="if(event.keyCode==27) return false;">
<div id="append_parent"></div><div id="ajaxwaitid"></div>
<div id="toptb" class="cl">
<div class="wp">
<div class="z"><a href="javascript:;"  onclick="setHomepage('{b}');">设为首页</a><a href="{b}"  onclick="addFavorite(this.href, '{FORUM_NAME}');return false;">收藏本站</a></div>
<div class="y">
<a id="switchblind" href="javascript:;" onclick="toggleBlind(this)" title="开启辅助访问" class="switchblind">开启辅助访问</a>
<a href="javascript:;" id="switchwidth" onclick="widthauto(this)" title="切换到宽版" class="switchwidth">切换到宽版</a>
</div>
</div>
</div>

"""

    def user_status(self, member):
        """header_userstatus.htm: the quick login form for a guest, the member's own links once logged in."""
        if member:
            space = self.space(MEMBER_UID)
            return f"""<div id="um">
<div class="avt y"><a href="{space}"><img src="{self.base}uc_server/avatar.php?uid={MEMBER_UID}&size=small" /></a></div>
<p>
<strong class="vwmy"><a href="{space}" target="_blank" title="访问我的空间">{MEMBER_NAME}</a></strong>
<span class="pipe">|</span><a href="javascript:;" id="myitem" class="showmenu" onmouseover="showMenu({{'ctrlid':'myitem'}});">我的</a>
<span class="pipe">|</span><a href="home.php?mod=spacecp">设置</a>
<span class="pipe">|</span><a href="home.php?mod=space&amp;do=pm" id="pm_ntc">消息</a>
<span class="pipe">|</span><a href="home.php?mod=space&amp;do=notice" id="myprompt" class="a showmenu" onmouseover="showMenu({{'ctrlid':'myprompt'}});">提醒</a><span id="myprompt_check"></span>
<span class="pipe">|</span><a href="member.php?mod=logging&amp;action=logout&amp;formhash=1a2b3c4d">退出</a>
</p>
<p>
<a href="home.php?mod=spacecp&amp;ac=credit&amp;showcredit=1" id="extcreditmenu" onmouseover="delayShow(this, showCreditmenu);" class="showmenu">积分: 120</a>
<span class="pipe">|</span><a href="home.php?mod=spacecp&amp;ac=usergroup" id="g_upmine" class="showmenu" onmouseover="delayShow(this, showUpgradeinfo)">用户组: 中级会员</a>
</p>
</div>
"""
        return """<script src="static/js/logging.js?Qm8" type="text/javascript"></script>
<form method="post" autocomplete="off" id="lsform" action="member.php?mod=logging&amp;action=login&amp;loginsubmit=yes&amp;infloat=yes&amp;lssubmit=yes" onsubmit="return lsSubmit();">
<div class="fastlg cl">
<span id="return_ls" style="display:none"></span>
<div class="y pns">
<table cellspacing="0" cellpadding="0">
<tr>
<td><label for="ls_username">帐号</label></td>
<td><input type="text" name="username" id="ls_username" class="px vm xg1"  value="用户名/Email" onfocus="if(this.value == '用户名/Email'){this.value = '';this.className = 'px vm';}" onblur="if(this.value == ''){this.value = '用户名/Email';this.className = 'px vm xg1';}" tabindex="901" /></td>
<td class="fastlg_l"><label for="ls_cookietime"><input type="checkbox" name="cookietime" id="ls_cookietime" class="pc" value="2592000" tabindex="903" />自动登录</label></td>
<td>&nbsp;<a href="javascript:;" onclick="showWindow('login', 'member.php?mod=logging&action=login&viewlostpw=1')">找回密码</a></td>
</tr>
<tr>
<td><label for="ls_password">密码</label></td>
<td><input type="password" name="password" id="ls_password" class="px vm" autocomplete="off" tabindex="902" /></td>
<td class="fastlg_l"><button type="submit" class="pn vm" tabindex="904" style="width: 75px;"><em>登录</em></button></td>
<td>&nbsp;<a href="member.php?mod=register" class="xi2 xw1">立即注册</a></td>
</tr>
</table>
<input type="hidden" name="quickforward" value="yes" />
<input type="hidden" name="handlekey" value="ls" />
</div>
</div>
</form>

"""

    def header(self, title, module, member=False):
        qmenu = (
            '<ul id="myitem_menu" class="p_pop" style="display: none;">\n<li><a href="forum.php?mod=guide&amp;view=my">帖子</a></li>\n'
            '<li><a href="home.php?mod=space&amp;do=favorite&amp;view=me">收藏</a></li>\n'
            '<li><a href="home.php?mod=space&amp;do=friend">好友</a></li>\n</ul>\n'
            '<div id="qmenu_menu" class="p_pop " style="display: none;">\n<ul class="cl nav">'
            '<li><a href="home.php?mod=space&amp;do=friend" style="background-image:url(static/image/feed/friend_b.png) !important">好友</a></li>'
            "</ul>\n</div>"
            if member
            else '<div id="qmenu_menu" class="p_pop blk" style="display: none;">\n<div class="ptm pbw hm">\n'
            '请 <a href="javascript:;" class="xi2" onclick="lsSubmit()"><strong>登录</strong></a> 后使用快捷导航<br />'
            '没有帐号？<a href="member.php?mod=register" class="xi2 xw1">立即注册</a>\n</div>\n'
            '<div id="fjump_menu" class="btda"></div></div>'
        )
        return (
            self.head(title, module).replace("{uid}", str(MEMBER_UID) if member else "0")
            + qmenu
            + f"""<div id="hd">
<div class="wp">
<div class="hdc cl"><h2><a href="./" title="{FORUM_NAME}"><img src="static/image/common/logo.png" alt="{FORUM_NAME}" border="0" /></a></h2>{self.user_status(member)}</div>

<div id="nv">
<a href="javascript:;" id="qmenu" onmouseover="delayShow(this, function () {{showMenu({{'ctrlid':'qmenu','pos':'34!','ctrlclass':'a','duration':2}});showForummenu({FORUM_FID});}})">快捷导航</a>
<ul><li class="a" id="mn_forum" ><a href="forum.php" hidefocus="true" title="BBS"  >论坛<span>BBS</span></a></li><li id="mn_group" ><a href="group.php" hidefocus="true" title="Group"  >群组<span>Group</span></a></li><li id="mn_home" ><a href="home.php" hidefocus="true" title="Space"  >动态<span>Space</span></a></li></ul>
</div>
<div id="mu" class="cl">
</div><div id="scbar" class="cl">
<form id="scbar_form" method="post" autocomplete="off" onsubmit="searchFocus($('scbar_txt'))" action="search.php?searchsubmit=yes" target="_blank">
<input type="hidden" name="mod" id="scbar_mod" value="search" />
<input type="hidden" name="formhash" value="1a2b3c4d" />
<input type="hidden" name="srchtype" value="title" />
<input type="hidden" name="srhfid" value="{FORUM_FID}" />
<input type="hidden" name="srhlocality" value="forum::{module}" />
<table cellspacing="0" cellpadding="0">
<tr>
<td class="scbar_icon_td"></td>
<td class="scbar_txt_td"><input type="text" name="srchtxt" id="scbar_txt" value="请输入搜索内容" autocomplete="off" x-webkit-speech speech /></td>
<td class="scbar_type_td"><a href="javascript:;" id="scbar_type" class="xg1" onclick="showMenu(this.id)" hidefocus="true">搜索</a></td>
<td class="scbar_btn_td"><button type="submit" name="searchsubmit" id="scbar_btn" sc="1" class="pn pnc" value="true"><strong class="xi2">搜索</strong></button></td>
</tr>
</table>
</form>
</div>
</div>
</div>

<div id="wp" class="wp">
"""
        )

    def footer(self):
        return f"""</div>
<div id="ft" class="wp cl">
<div id="flk" class="y">
<p>
<a href="archiver/" >Archiver</a><span class="pipe">|</span><a href="forum.php?mobile=yes" >手机版</a><span class="pipe">|</span><a href="forum.php?mod=misc&action=showdarkroom" >小黑屋</a><span class="pipe">|</span><strong><a href="{self.base}" target="_blank">{FORUM_NAME}</a></strong>
</p>
<p class="xs0">
GMT+8, {POST_DATE}<span id="debuginfo">
, Processed in 0.031250 second(s), 18 queries
.
</span>
</p>
</div>
<div id="frt">
<p>Powered by <strong><a href="http://www.discuz.net" target="_blank">Discuz!</a></strong> <em>X3.4</em></p>
<p class="xs0">&copy; 2001-2017 <a href="http://www.comsenz.com" target="_blank">Comsenz Inc.</a></p>
</div></div>
<div id="scrolltop">
<span hidefocus="true"><a title="返回顶部" onclick="window.scrollTo('0','0')" class="scrolltopa" ><b>返回顶部</b></a></span>
<span>
<a href="forum.php?mod=forumdisplay&fid={FORUM_FID}" hidefocus="true" class="returnlist" title="返回列表"><b>返回列表</b></a>
</span>
</div>
<script type="text/javascript">_attachEvent(window, 'scroll', function () {{ showTopLink(); }});checkBlind();</script>
</body>
</html>
"""

    def finish(self, html):
        """What Discuz's output() does last: with URL rewriting on, its link patterns become static addresses."""
        return rewrite_links(html) if self.rewrite else html

    # -- thread page ------------------------------------------------------------------------------------------

    def node(self, tid, pid, number, left, uid, message, first=False, author_right=""):
        """viewthread_node.htm: one post. uid is None for a guest's post."""
        if first:
            postnum_href = f"forum.php?mod=viewthread&tid={tid}"
            number_html = "楼主"
            fj = (
                '<div id="fj" class="y">\n<label class="z">电梯直达</label>\n'
                f'<input type="text" class="px p_fre z" size="2" onkeyup="$(\'fj_btn\').href=\'forum.php?mod=redirect&ptid={tid}&authorid=&postno=\'+this.value" '
                'onkeydown="if(event.keyCode==13) {window.location=$(\'fj_btn\').href;return false;}" title="跳转到指定楼层" />\n'
                '<a href="javascript:;" id="fj_btn" class="z" title="跳转到指定楼层"><img src="static/image/common/fj_btn.png" alt="跳转到指定楼层" class="vm" /></a>\n</div>\n'
            )
        else:
            postnum_href = f"forum.php?mod=redirect&goto=findpost&ptid={tid}&pid={pid}"
            names = {2: "沙发", 3: "板凳", 4: "地板"}
            number_html = names.get(number, f"<em>{number}</em><sup>#</sup>")
            fj = ""
        if uid is None:
            who = "匿名&nbsp;\n"
            only = ""
        else:
            who = author_right
            only = (
                '<span class="pipe">|</span>\n'
                f'<a href="forum.php?mod=viewthread&amp;tid={tid}&amp;page=1&amp;authorid={uid}" rel="nofollow">只看该作者</a>\n'
            )
        extra = (
            '<span class="none"><img src="static/image/common/arw_r.gif" class="vm" alt="回帖奖励" /></span>\n'
            f'<span class="pipe show">|</span><a href="forum.php?mod=viewthread&amp;tid={tid}&amp;extra=&amp;ordertype=1"  class="show">倒序浏览</a>\n'
            f'<span class="pipe show">|</span><a href="javascript:;" onclick="readmode($(\'thread_subject\').innerHTML, {pid});" class="show">阅读模式</a>\n'
            if first
            else ""
        )
        css = '<style type="text/css">.pcb{margin-right:0}</style>' if first else ""
        return (
            f'<div id="post_{pid}" >\n<table id="pid{pid}" class="plhin" summary="pid{pid}" cellspacing="0" cellpadding="0">\n'
            f'<tr>\n<td class="pls" rowspan="2">\n<div id="favatar{pid}" class="pls favatar">\n \n{left}</div>\n</td>\n'
            f'<td class="plc">\n<div class="pi">\n{fj}<strong>\n'
            f'<a href="{postnum_href}"   id="postnum{pid}" onclick="setCopy(this.href, \'帖子地址复制成功\');return false;">\n'
            f"{number_html}</a>\n</strong>\n"
            f'<div class="pti">\n<div class="pdbt">\n</div>\n<div class="authi">\n'
            f'<img class="authicn vm" id="authicon{pid}" src="static/image/common/online_member.gif" />\n'
            f'{who}<em id="authorposton{pid}">发表于 {POST_DATE}:00</em>\n{only}{extra}</div>\n</div>\n</div>'
            f'<div class="pct">{css}<div class="pcb">\n \n<div class="t_fsz">\n'
            f'<table cellspacing="0" cellpadding="0"><tr><td class="t_f" id="postmessage_{pid}">\n{message}</td></tr></table>\n\n\n</div>\n'
            f'<div id="comment_{pid}" class="cm">\n</div>\n\n<div id="post_rate_div_{pid}"></div>\n</div>\n</div>\n\n'
            f'</td></tr>\n<tr><td class="plc plm">\n</td>\n</tr>\n<tr id="_postposition{pid}"></tr>\n'
            f'<tr>\n<td class="pls"></td>\n<td class="plc" style="overflow:visible;">\n<div class="po hin">\n<div class="pob cl">\n<em>\n'
            f'<a class="fastre" href="forum.php?mod=post&amp;action=reply&amp;fid={FORUM_FID}&amp;tid={tid}&amp;repquote={pid}&amp;extra=&amp;page=1" onclick="showWindow(\'reply\', this.href)">回复</a>\n'
            f"</em>\n\n<p>\n"
            f'<a href="javascript:;" onclick="showWindow(\'miscreport{pid}\', \'misc.php?mod=report&rtype=post&rid={pid}&tid={tid}&fid={FORUM_FID}\', \'get\', -1);return false;">举报</a>\n'
            f"</p>\n</div>\n</div>\n</td>\n</tr>\n"
            f'<tr class="ad">\n<td class="pls">\n</td>\n<td class="plc">\n</td>\n</tr>\n</table>\n</div>\n'
        )

    def reply(self, tid, n, guests=False, home=""):
        pid = FIRST_PID + n
        text = self.reply_texts[n % len(self.reply_texts)]
        message = f"{text}<br />\n{text}\n"
        if guests:
            return self.node(tid, pid, n + 1, self.guest_left(), None, message)
        uid, name = reply_author(n)
        return self.node(tid, pid, n + 1, self.member_left(uid, name, pid, tid, home), uid, message)

    def multipage(self, tid):
        return (
            f'<div class="pg"><strong>1</strong><a href="forum.php?mod=viewthread&amp;tid={tid}&amp;extra=&amp;page=2">2</a>'
            f'<a href="forum.php?mod=viewthread&amp;tid={tid}&amp;extra=&amp;page=3">3</a><label>'
            f'<input type="text" name="custompage" class="px" size="2" title="输入页码，按回车快速跳转" value="1" '
            f"onkeydown=\"if(event.keyCode==13) {{window.location='forum.php?mod=viewthread&tid={tid}&amp;extra=&amp;page='+this.value;; doane(event);}}\" />"
            f'<span title="共 3 页"> / 3 页</span></label>'
            f'<a href="forum.php?mod=viewthread&amp;tid={tid}&amp;extra=&amp;page=2" class="nxt">下一页</a></div>'
        )

    def trap_block(self):
        """A block an administrator placed in the page's DIY area above the posts: repliers, avatar and name."""
        items = "".join(
            f'<li><a href="{self.space(uid)}" class="avt" target="_blank">'
            f'<img src="{self.base}uc_server/avatar.php?uid={uid}&size=small" /></a>'
            f'<p><a href="{self.space(uid)}" target="_blank">{reply_author(uid - 900000)[1]}</a></p></li>'
            for uid in TRAP_MEMBERS
        )
        return (
            '<div id="frameQm8x1a" class="frame move-span cl frame-1"><div id="frameQm8x1a_left" class="column frame-1-c">'
            '<div id="frameQm8x1a_left_temp" class="move-span temp"></div><div id="portal_block_12" class="block move-span">'
            '<div class="blocktitle title"><span class="titletext">本帖热心回复者</span></div>'
            f'<div id="portal_block_12_content" class="dxb_bc"><div class="portal_block_summary"><ul class="ml mls cl">{items}</ul>'
            "</div></div></div></div></div>"
        )

    def thread_page(self, tid, plain_title, subject_html, left, uid, member=False, author_right="",
                    guest_replies=False, home="", trap=""):
        top = (
            self.header(f"{plain_title} - {FORUM_TITLE}", "viewthread", member)
            + f"""<script type="text/javascript">var fid = parseInt('{FORUM_FID}'), tid = parseInt('{tid}');</script>

<script src="static/js/forum_viewthread.js?Qm8" type="text/javascript"></script>
<script type="text/javascript">zoomstatus = parseInt(1);var imagemaxwidth = '600';var aimgcount = new Array();</script>

<style id="diy_style" type="text/css"></style>
<!--[diy=diynavtop]--><div id="diynavtop" class="area"></div><!--[/diy]-->
<div id="pt" class="bm cl">
<div class="z">
<a href="./" class="nvhm" title="首页">{FORUM_NAME}</a><em>&raquo;</em><a href="forum.php">论坛</a> <em>&rsaquo;</em> <a href="forum.php?gid=1">技术区</a> <em>&rsaquo;</em> <a href="forum.php?mod=forumdisplay&amp;fid={FORUM_FID}">{FORUM_TITLE}</a> <em>&rsaquo;</em> <a href="forum.php?mod=viewthread&amp;tid={tid}">{plain_title}</a>
</div>
</div>

<style id="diy_style" type="text/css"></style>
<div class="wp">
<!--[diy=diy1]--><div id="diy1" class="area">{trap}</div><!--[/diy]-->
</div>

<div id="ct" class="wp cl">
<div id="pgt" class="pgs mbm cl ">
<div class="pgt">{self.multipage(tid)}</div>
<span class="y pgb"><a href="forum.php?mod=forumdisplay&amp;fid={FORUM_FID}">返回列表</a></span>
<a id="newspecial" onmouseover="$('newspecial').id = 'newspecialtmp';this.id = 'newspecial';showMenu({{'ctrlid':this.id}})" onclick="showWindow('newthread', 'forum.php?mod=post&action=newthread&fid={FORUM_FID}')" href="javascript:;" title="发新帖"><img src="static/image/common/pn_post.png" alt="发新帖" /></a>
<a id="post_reply" onclick="showWindow('reply', 'forum.php?mod=post&action=reply&fid={FORUM_FID}&tid={tid}')" href="javascript:;" title="回复"><img src="static/image/common/pn_reply.png" alt="回复" /></a>
</div>

<div id="postlist" class="pl bm">
<table cellspacing="0" cellpadding="0">
<tr>
<td class="pls ptn pbn">
<div class="hm ptn">
<span class="xg1">查看:</span> <span class="xi1">2048</span><span class="pipe">|</span><span class="xg1">回复:</span> <span class="xi1">31</span>
</div>
</td>
<td class="plc ptm pbn vwthd">
<div class="y">
<a href="forum.php?mod=viewthread&amp;action=printable&amp;tid={tid}" title="打印" target="_blank"><img src="static/image/common/print.png" alt="打印" class="vm" /></a>
<a href="forum.php?mod=redirect&amp;goto=nextoldset&amp;tid={tid}" title="上一主题"><img src="static/image/common/thread-prev.png" alt="上一主题" class="vm" /></a>
<a href="forum.php?mod=redirect&amp;goto=nextnewset&amp;tid={tid}" title="下一主题"><img src="static/image/common/thread-next.png" alt="下一主题" class="vm" /></a>
</div>
<h1 class="ts">
{subject_html}
</h1>
<span class="xg1">
<a href="forum.php?mod=viewthread&amp;tid={tid}" onclick="return copyThreadUrl(this, '{FORUM_NAME}')" >[复制链接]</a>
</span>
</td>
</tr>
</table>


<table cellspacing="0" cellpadding="0" class="ad">
<tr>
<td class="pls">
</td>
<td class="plc">
</td>
</tr>
</table>"""
            + self.node(tid, FIRST_PID, 1, left, uid, MESSAGE, first=True, author_right=author_right)
        )
        bottom = (
            '<div id="postlistreply" class="pl"><div id="post_new" class="viewthread_table" style="display: none"></div></div>\n</div>\n\n\n'
            '<form method="post" autocomplete="off" name="modactions" id="modactions">\n'
            '<input type="hidden" name="formhash" value="1a2b3c4d" />\n<input type="hidden" name="optgroup" />\n'
            '<input type="hidden" name="operation" />\n<input type="hidden" name="listextra" value="" />\n'
            '<input type="hidden" name="page" value="1" />\n</form>\n\n\n\n'
            f'<div class="pgs mtm mbm cl">\n{self.multipage(tid)}\n'
            f'<span class="pgb y"><a href="forum.php?mod=forumdisplay&amp;fid={FORUM_FID}">返回列表</a></span>\n</div>\n\n'
            '<!--[diy=diyfastposttop]--><div id="diyfastposttop" class="area"></div><!--[/diy]-->\n'
            f'<div id="f_pst" class="pl bm bmw">\n<form method="post" autocomplete="off" id="fastpostform" '
            f'action="forum.php?mod=post&amp;action=reply&amp;fid={FORUM_FID}&amp;tid={tid}&amp;extra=&amp;replysubmit=yes&amp;infloat=yes&amp;handlekey=fastpost" '
            'onSubmit="return fastpostvalidate(this)">\n<table cellspacing="0" cellpadding="0">\n<tr>\n<td class="pls">\n</td>\n<td class="plc">\n'
            + (
                '<div class="tedt mtn">\n<div class="area">\n<textarea rows="6" cols="80" name="message" id="fastpostmessage" class="pt"></textarea>\n</div>\n</div>\n'
                '<p class="ptm pnpost">\n<button type="submit" name="replysubmit" id="fastpostsubmit" class="pn pnc vm" value="replysubmit"><strong>发表回复</strong></button>\n</p>\n'
                if member
                else '<div class="pt hm">\n您需要登录后才可以回帖 <a href="member.php?mod=logging&amp;action=login" onclick="showWindow(\'login\', this.href)" class="xi2">登录</a> | '
                '<a href="member.php?mod=register" class="xi2">立即注册</a>\n</div>\n'
            )
            + '</td>\n</tr>\n</table>\n</form>\n</div>\n\n</div>\n\n<div class="wp mtn">\n'
            '<!--[diy=diy3]--><div id="diy3" class="area"></div><!--[/diy]-->\n</div>\n'
            + self.footer()
        )
        used = len(self.finish(top + bottom).encode(self.charset))
        replies = []
        n = 0
        while used < self.page_bytes:
            n += 1
            post = self.reply(tid, n, guests=guest_replies, home=home)
            replies.append(post)
            used += len(self.finish(post).encode(self.charset))
        return self.finish(top + "".join(replies) + bottom)

    def normal_page(self, tid, title, uid, name, plain_title=None, member=False):
        return self.thread_page(
            tid, plain_title if plain_title is not None else title, self.subject(title),
            self.member_left(uid, name, FIRST_PID, tid), uid, member=member,
        )

    # -- notices and the home page ------------------------------------------------------------------------------

    def notice(self, inner):
        return self.finish(
            self.header("提示信息", "viewthread")
            + '<div id="ct" class="wp cl w">\n'
            + inner
            + "</div>\n</div>\n"
            + self.footer()
        )

    def missing_page(self):
        """showmessage('thread_nonexistence'): HTTP 200 and a message with a way back."""
        return self.notice(
            '<div class="nfl">\n<div class="f_c altw">\n<div id="messagetext" class="alert_error">\n'
            "<p>抱歉，指定的主题不存在或已被删除或正在被审核</p>\n"
            '<script type="text/javascript">\nif(history.length > (BROWSER.ie ? 0 : 1)) {\n'
            "document.write('<p class=\"alert_btnleft\"><a href=\"javascript:history.back()\">[ 点击这里返回上一页 ]</a></p>');\n"
            "} else {\n"
            f"document.write('<p class=\"alert_btnleft\"><a href=\"./\">[ {FORUM_NAME} 首页 ]</a></p>');\n"
            "}\n</script>\n</div>\n</div>\n"
        )

    def login_page(self):
        """showmessagenoperm('viewperm') for a guest: the message, and a login form the page fetches into place."""
        return self.notice(
            '<div class="nfl" id="main_succeed" style="display: none">\n<div class="f_c altw">\n<div class="alert_right">\n'
            '<p id="succeedmessage"></p>\n<p id="succeedlocation" class="alert_btnleft"></p>\n'
            '<p class="alert_btnleft"><a id="succeedmessage_href">如果您的浏览器没有自动跳转，请点击此链接</a></p>\n'
            "</div>\n</div>\n</div>\n"
            '<div class="nfl" id="main_message">\n<div class="f_c altw">\n<div id="messagetext" class="alert_info">\n'
            "<p>抱歉，您尚未登录，没有权限访问该版块</p>\n</div>\n"
            '<div id="messagelogin"></div>\n'
            "<script type=\"text/javascript\">ajaxget('member.php?mod=logging&action=login&infloat=yes&frommessage', 'messagelogin');</script>\n"
            "</div>\n"
        )

    def home_page(self, threads):
        """forum.php (discuz.htm) with the four-box grid of newest threads turned on."""
        newest = "".join(
            f'<li><a href="forum.php?mod=viewthread&amp;tid={tid}&amp;extra=" title="{title}">{title}</a></li>\n'
            for tid, title in threads
        )
        replied = "".join(
            f'<li><a href="forum.php?mod=redirect&amp;tid={tid}&amp;goto=lastpost#lastpost" title="{title}">{title}</a></li>\n'
            for tid, title in threads
        )
        newcomer = quote("新来的".encode(self.charset))
        forums = "".join(
            f'<tr>\n<td class="fl_icn" >\n<a href="forum.php?mod=forumdisplay&fid={fid}"><img src="static/image/common/forum.gif" alt="版块 {fid}" /></a>\n</td>\n'
            f'<td>\n<h2><a href="forum.php?mod=forumdisplay&fid={fid}">版块 {fid}</a></h2>\n</td>\n'
            f'<td class="fl_i">\n<span class="xi2">{fid * 37}</span><span class="xg1"> / {fid * 512}</span>\n</td>\n'
            f'<td class="fl_by">\n<div>\n<a href="forum.php?mod=redirect&amp;tid={threads[0][0]}&amp;goto=lastpost#lastpost" class="xi2">{threads[0][1]}</a> '
            f"<cite>{POST_DATE} admin</cite>\n</div>\n</td>\n</tr>\n<tr class=\"fl_row\">\n"
            for fid in range(2, 26)
        )
        return self.finish(
            self.header("论坛", "index")
            + f"""<div id="pt" class="bm cl">
<div class="z">
<a href="./" class="nvhm" title="首页">{FORUM_NAME}</a><em>&raquo;</em><a href="forum.php">论坛</a></div>
<div class="z"></div>
</div>

<style id="diy_style" type="text/css"></style>

<div class="wp">
<!--[diy=diy1]--><div id="diy1" class="area"></div><!--[/diy]-->
</div>

<div id="ct" class="wp cl">
<div id="chart" class="bm bw0 cl">
<p class="chart z">今日: <em>12</em><span class="pipe">|</span>昨日: <em>34</em><span class="pipe">|</span>帖子: <em>56789</em><span class="pipe">|</span>会员: <em>{MEMBER_TOTAL}</em><span class="pipe">|</span>欢迎新会员: <em><a href="home.php?mod=space&amp;username={newcomer}" target="_blank" class="xi2">新来的</a></em></p>
<div class="y">
<a href="forum.php?mod=guide&amp;view=new" title="最新回复" class="xi2">最新回复</a>
</div>
</div>
<!--[diy=diy_chart]--><div id="diy_chart" class="area"></div><!--[/diy]-->
<div class="mn">

<!-- index four grid -->
<div class="fl bm">
<div class="bm bmw cl">
<div id="category_grid" class="bm_c" >
<table cellspacing="0" cellpadding="0"><tr>
<td valign="top" class="category_l2">
<div class="subjectbox">
<h4><span class="tit_subject"></span>最新主题</h4>
<ul class="category_newlist">
{newest}</ul>
</div>
</td>
<td valign="top" class="category_l3">
<div class="replaybox">
<h4><span class="tit_replay"></span>最新回复</h4>
<ul class="category_newlist">
{replied}</ul>
</div>
</td>
</tr></table>
</div>
</div>
</div>
<!-- index four grid end -->
<div class="fl bm">
<div class="bm bmw  cl">
<div class="bm_h cl">
<span class="o">
<img id="category_1_img" src="static/image/common/collapsed_no.gif" title="收起/展开" alt="收起/展开" onclick="toggle_collapse('category_1');" />
</span>
<h2><a href="forum.php?gid=1" style="">技术区</a></h2>
</div>
<div id="category_1" class="bm_c" style="">
<table cellspacing="0" cellpadding="0" class="fl_tb">
<tr>{forums}</tr>
</table>
</div>
</div>
</div>

</div>

</div>
"""
            + self.footer()
        )


# The link patterns Discuz! X3 builds when URL rewriting is on (rewritedata() in source/function/function_admincp.php,
# applied by output_replace() in source/function/function_core.php; no second-level domains, so the host part is
# empty and links stay relative).
_REWRITE_VIEWTHREAD = re.compile(
    r'<a href="()forum\.php\?mod=viewthread&(amp;)?tid=(\d+)(&amp;extra=(page%3D(\d+))?)?(&amp;page=(\d+))?"([^>]*)>'
)
_REWRITE_FORUMDISPLAY = re.compile(r'<a href="()forum\.php\?mod=forumdisplay&(amp;)?fid=(\w+)(&amp;page=(\d+))?"([^>]*)>')
_REWRITE_SPACE = re.compile(r'<a href="()home\.php\?mod=space&(amp;)?(uid=(\d+)|username=([^&]+?))"([^>]*)>')


def rewrite_links(html):
    html = _REWRITE_FORUMDISPLAY.sub(lambda m: f'<a href="forum-{m[3]}-{m[5] or 1}.html"{m[6]}>', html)
    html = _REWRITE_VIEWTHREAD.sub(lambda m: f'<a href="thread-{m[3]}-{m[8] or 1}-{m[6] or 1}.html"{m[9]}>', html)
    return _REWRITE_SPACE.sub(
        lambda m: f'<a href="space-{"uid" if m[4] else "username"}-{m[4] or m[5]}.html"{m[6]}>', html
    )


# ---------------------------------------------------------------------------------------------------------------
# Discuz! 7


class Discuz7:
    """Discuz! 7.1, default template as installed (author name in the post's header, not on the left)."""

    key = "discuz-7"

    def __init__(self, base, charset, reply_texts, page_bytes):
        self.base = base
        self.charset = charset
        self.reply_texts = reply_texts
        self.page_bytes = page_bytes
        self.subject_open = "<h1>"
        self.subject_close = "</h1>"

    def subject(self, title):
        return f"{self.subject_open}{title}{self.subject_close}"

    def upper_subject(self, title):
        return f"<H1>{title}</H1>"

    def no_subject(self, title):
        return f"<h2>{title}</h2>"

    def second_subject(self, title):
        return self.subject(title)

    @staticmethod
    def space(uid, home=""):
        return f"{home}space.php?uid={uid}"

    def author_block(self, uid, name, home=""):
        """The author's name in the post header (authorinfo)."""
        return f'<a href="{self.space(uid, home)}" class="posterlink" target="_blank">{name}</a>'

    def card(self, uid, name, pid, tid, home=""):
        """The hidden profile card, the avatar and the author's title in the post's left column."""
        return (
            f'<div class="popupmenu_popup userinfopanel" id="userinfo{pid}" style="display: none; position: absolute;">\n'
            f'<div class="popavatar">\n<div id="userinfo{pid}_ma"></div>\n<ul class="profile_side">\n'
            f'<li class="pm"><a href="{home}pm.php?action=new&amp;uid={uid}" onclick="hideMenu(\'userinfo{pid}\');showWindow(\'sendpm\', this.href);return false;" title="发短消息">发短消息</a></li>\n'
            f'<li class="buddy"><a href="{home}my.php?item=buddylist&amp;newbuddyid={uid}&amp;buddysubmit=yes" target="_blank" id="ajax_buddy_{pid - FIRST_PID}" title="加为好友" onclick="ajaxmenu(this, 3000);doane(event);">加为好友</a></li>\n'
            f'</ul>\n</div>\n<div class="popuserinfo">\n<p>\n<a href="{self.space(uid, home)}" target="_blank">{name}</a>\n'
            f"<em>当前离线\n</em>\n</p>\n\n"
            f'<dl class="s_clear"><dt>UID</dt><dd>{uid}&nbsp;</dd><dt>帖子</dt><dd>312&nbsp;</dd><dt>积分</dt><dd>1024&nbsp;</dd></dl>\n'
            f'<div class="imicons">\n<a href="{self.space(uid, home)}" target="_blank" title="查看详细资料">'
            f'<img src="images/default/userinfo.gif" alt="查看详细资料"  /></a>\n</div>\n'
            f'<div id="avatarfeed"><span id="threadsortswait"></span></div>\n</div>\n</div>\n \n'
            f'<div>\n<div class="avatar" onmouseover="showauthor(this, \'userinfo{pid}\')"><a href="{self.space(uid, home)}" target="_blank">'
            f'<img src="{self.base}uc_server/avatar.php?uid={uid}&size=middle" /></a></div>\n'
            f'<p><em><a href="faq.php?action=grouppermission&amp;searchgroupid=10" target="_blank">新手上路</a></em></p>\n</div>\n'
            f'<p><img src="images/default/star_level1.gif" alt="Rank: 1" /></p>\n'
        )

    def left_column(self, blocks, card):
        # Discuz! 7's name line sits in the post header; the left column holds only the card.
        return card

    def member_left(self, uid, name, pid, tid, home=""):
        return self.card(uid, name, pid, tid, home)

    def first_post_author(self, blocks, card, tid, home=""):
        """(left column, post header) of the first post: name links for blocks, a profile card for card."""
        names = "".join(self.author_block(uid, name, home) for uid, name in blocks)
        return (self.card(*card, FIRST_PID, tid, home) if card else ""), names

    @staticmethod
    def guest_left():
        return '<div class="avatar">\n<a href="javascript:;">游客 <em>127.0.0.x</em></a>\n</div>\n'

    def header(self, title, script, member=False):
        if member:
            umenu = (
                f'<cite><a href="{self.space(MEMBER_UID)}" class="noborder">{MEMBER_NAME}</a></cite>\n'
                '<span class="pipe">|</span>\n<a id="myprompt" href="notice.php" >提醒</a>\n<span id="myprompt_check"></span>\n'
                '<a href="pm.php" id="pm_ntc" target="_blank">短消息</a>\n\n<span class="pipe">|</span>\n'
                '<a href="memcp.php">个人中心</a>\n<a href="logging.php?action=logout&amp;formhash=1a2b3c4d">退出</a>\n'
            )
        else:
            umenu = (
                '<a href="register.php" onclick="showWindow(\'register\', this.href);return false;" class="noborder">注册</a>\n'
                '<a href="logging.php?action=login" onclick="showWindow(\'login\', this.href);return false;">登录</a>\n'
            )
        b = self.base
        return f"""<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml">
<head>
<meta http-equiv="Content-Type" content="text/html; charset={self.charset}" />
<title>{title} {FORUM_NAME}  - Powered by Discuz!</title>
<meta name="keywords" content="" />
<meta name="description" content=" {FORUM_NAME}  - Discuz! Board" />
<meta name="generator" content="Discuz! 7.1" />
<meta name="author" content="Discuz! Team and Comsenz UI Team" />
<meta name="copyright" content="2001-2009 Comsenz Inc." />
<meta name="MSSmartTagsPreventParsing" content="True" />
<meta http-equiv="MSThemeCompatible" content="Yes" />
<meta http-equiv="x-ua-compatible" content="ie=7" />
<link rel="archives" title="{FORUM_NAME}" href="{b}archiver/" />
<link rel="stylesheet" type="text/css" href="forumdata/cache/style_1_common.css?Qm8" /><link rel="stylesheet" type="text/css" href="forumdata/cache/scriptstyle_1_{script}.css?Qm8" />
<script type="text/javascript">var STYLEID = '1', IMGDIR = 'images/default', VERHASH = 'Qm8', charset = '{self.charset}', discuz_uid = {MEMBER_UID if member else 0}, cookiedomain = '', cookiepath = '/', attackevasive = '0', disallowfloat = 'newthread|reply', creditnotice = '1|威望|,2|金钱|', gid = parseInt('1'), fid = parseInt('{FORUM_FID}'), tid = parseInt('{{tid}}')</script>
<script src="forumdata/cache/common.js?Qm8" type="text/javascript"></script>
</head>

<body id="{script}" onkeydown="if(event.keyCode==27) return false;">

<div id="append_parent"></div><div id="ajaxwaitid"></div>

<div id="header">
<div class="wrap s_clear">
<h2><a href="index.php" title="{FORUM_NAME}"><img src="images/default/logo.gif" alt="{FORUM_NAME}" border="0" /></a></h2>
<div id="umenu">
{umenu}</div>
<div id="ad_headerbanner"></div>
<div id="menu">
<ul>
<li class="menu_1"><a href="index.php" hidefocus="true" id="mn_index">论坛</a></li><li class="menu_2"><a href="search.php" hidefocus="true" id="mn_search">搜索</a></li><li class="menu_4"><a href="faq.php" hidefocus="true" id="mn_faq">帮助</a></li><li class="menu_5"><a href="misc.php?action=nav" hidefocus="true" onclick="showWindow('nav', this.href);return false;">导航</a></li>
</ul>
<script type="text/javascript">
var currentMenu = $('mn_') ? $('mn_') : $('mn_index');
currentMenu.parentNode.className = 'current';
</script>
</div>
</div>
<div id="myprompt_menu" style="display:none" class="promptmenu">
<div class="promptcontent">
<ul class="s_clear"><li style="display:none"><a id="prompt_pm" href="pm.php?filter=newpm" target="_blank">私人消息 (0)</a></li><li style="display:none"><a id="prompt_threads" href="notice.php?filter=threads" target="_blank">帖子消息 (0)</a></li></ul>
</div>
</div>
</div>
"""

    def footer(self):
        return f"""<div id="footer">
<div class="wrap s_clear">
<div id="footlinks">
<p><a href="member.php?action=clearcookies&amp;formhash=1a2b3c4d">清除 Cookies</a> - <a href="mailto:admin@example.com">联系我们</a> - <a href="{self.base}" target="_blank">{FORUM_NAME}</a> - <a href="archiver/" target="_blank">Archiver</a> - <a href="wap/" target="_blank">WAP</a></p>
<p class="smalltext">
GMT+8, {POST_DATE}, <span id="debuginfo">Processed in 0.021543 second(s), 7 queries</span>.
</p>
</div>
<a title="Powered by Discuz!" target="_blank" href="http://www.discuz.net"><img src="images/default/discuz_icon.gif" border="0" alt="Discuz!" /></a>
<p id="copyright">
Powered by <strong><a href="http://www.discuz.net" target="_blank">Discuz!</a></strong> <em class="f_golden">7.1</em>
&copy; 2001-2009 <a href="http://www.comsenz.com" target="_blank">Comsenz Inc.</a>
</p>
</div>
</div>
</body>
</html>
"""

    @staticmethod
    def finish(html):
        return html

    def node(self, tid, pid, number, left, uid, message, first=False, author_right="", subject_html=""):
        """viewthread_node.htm: one post. uid is None for a guest's post."""
        if uid is None:
            who = "游客 "
            only = ""
        else:
            who = author_right
            only = f'\n | <a href="viewthread.php?tid={tid}&amp;page=1&amp;authorid={uid}" rel="nofollow">只看该作者</a>\n'
        if first:
            control = (
                f'<a href="viewthread.php?action=printable&amp;tid={tid}" target="_blank" class="print left">打印</a>\n'
                '<div class="msgfsize right">\n<label>字体大小: </label><small onclick="$(\'postlist\').className=\'mainbox viewthread\'" title="正常">t</small>'
                '<big onclick="$(\'postlist\').className=\'mainbox viewthread t_bigfont\'" title="放大">T</big>\n</div>\n'
            )
            title = f'<div id="threadtitle">\n\n\n{subject_html}\n\n\n</div>\n'
        else:
            control = ""
            title = ""
        return (
            f'<div id="post_{pid}">\n<table id="pid{pid}" summary="pid{pid}" cellspacing="0" cellpadding="0">\n<tr>\n'
            f'<td class="postauthor" rowspan="2">\n{left}</td>\n<td class="postcontent">\n<div class="postinfo">\n'
            f'<strong><a title="复制本帖链接" id="postnum{pid}" href="javascript:;" '
            f"onclick=\"setCopy('{self.base}viewthread.php?tid={tid}&amp;page=1#pid{pid}', '帖子地址已经复制到剪贴板<br />您可以用快捷键 Ctrl + V 粘贴到 QQ、MSN 里。')\">"
            f"<em>{number}</em><sup>#</sup></a></strong>\n"
            f'<div class="posterinfo">\n<div class="pagecontrol">\n{control}</div>\n<div class="authorinfo">\n'
            f'<img class="authicon" id="authicon{pid}" src="images/common/online_member.gif" onclick="showauthor(this, \'userinfo{pid}\');" />\n'
            f'{who}<em id="authorposton{pid}">发表于 {POST_DATE}</em>{only}</div>\n</div>\n</div>\n'
            f'<div class="defaultpost">\n<div id="ad_thread2_{number - 1}"></div><div id="ad_thread3_{number - 1}"></div><div id="ad_thread4_{number - 1}"></div>\n'
            f'<div class="postmessage {"firstpost" if first else ""}">\n\n{title}\n'
            f'<div class="t_msgfontfix">\n<table cellspacing="0" cellpadding="0"><tr><td class="t_msgfont" id="postmessage_{pid}">{message}</td></tr></table>\n'
            f"</div>\n</div>\n</div>\n</td></tr>\n"
            f'<tr><td class="postcontent postbottom">\n<div id="ad_thread1_{number - 1}"></div>\n</td>\n</tr>\n'
            f'<tr>\n<td class="postauthor"></td>\n<td class="postcontent">\n<div class="postactions">\n<p class="postactions_op">\n'
            f'<a class="fastreply" href="post.php?action=reply&amp;fid={FORUM_FID}&amp;tid={tid}&amp;repquote={pid}&amp;extra=page%3D1&amp;page=1" onclick="showWindow(\'reply\', this.href);return false;">引用</a>\n'
            f'<a href="misc.php?action=report&amp;fid={FORUM_FID}&amp;tid={tid}&amp;pid={pid}" onclick="showWindow(\'report\', this.href);return false;">报告</a>\n'
            f'<a href="javascript:;" onclick="scrollTo(0,0);">TOP</a>\n</p>\n</div>\n</td>\n</tr>\n</table>\n</div>\n'
        )

    def reply(self, tid, n, guests=False, home=""):
        pid = FIRST_PID + n
        text = self.reply_texts[n % len(self.reply_texts)]
        message = f"{text}<br />\n{text}"
        if guests:
            return self.node(tid, pid, n + 1, self.guest_left(), None, message)
        uid, name = reply_author(n)
        return self.node(
            tid, pid, n + 1, self.member_left(uid, name, pid, tid, home), uid, message,
            author_right=self.author_block(uid, name, home),
        )

    def trap_block(self):
        """What a plugin's hook prints above the posts: this thread's repliers, avatar and name."""
        items = "".join(
            f'<li><a href="{self.space(uid)}" target="_blank"><img src="{self.base}uc_server/avatar.php?uid={uid}&size=small" /></a> '
            f'<a href="{self.space(uid)}" target="_blank">{reply_author(uid - 900000)[1]}</a></li>'
            for uid in TRAP_MEMBERS
        )
        return f'<div class="mainbox"><h3>本帖热心回复者</h3><ul class="s_clear">{items}</ul></div>'

    def pages(self, tid):
        return (
            f'<div class="pages"><strong>1</strong><a href="viewthread.php?tid={tid}&amp;extra=page%3D1&amp;page=2">2</a>'
            f'<a href="viewthread.php?tid={tid}&amp;extra=page%3D1&amp;page=3">3</a>'
            f'<a href="viewthread.php?tid={tid}&amp;extra=page%3D1&amp;page=2" class="next">下一页</a></div>'
        )

    def thread_page(self, tid, plain_title, subject_html, left, uid, member=False, author_right="",
                    guest_replies=False, home="", trap=""):
        control = (
            f'<div class="forumcontrol">\n<table cellspacing="0" cellpadding="0">\n<tr>\n<td class="modaction">\n</td>\n<td>\n'
            f"{self.pages(tid)}\n"
            f'<span class="pageback" id="visitedforums" onmouseover="$(\'visitedforums\').id = \'visitedforumstmp\';this.id = \'visitedforums\';showMenu({{\'ctrlid\':this.id}})"><a href="forumdisplay.php?fid={FORUM_FID}&amp;page=1">返回列表</a></span>\n'
            f'<span class="replybtn" id="post_reply" prompt="post_reply"><a href="post.php?action=reply&amp;fid={FORUM_FID}&amp;tid={tid}" onclick="showWindow(\'reply\', this.href);return false;">回复</a></span>\n'
            f'<span class="postbtn" id="newspecial" prompt="post_newthread" onmouseover="$(\'newspecial\').id = \'newspecialtmp\';this.id = \'newspecial\';showMenu({{\'ctrlid\':this.id}})"><a href="post.php?action=newthread&amp;fid={FORUM_FID}" onclick="showWindow(\'newthread\', this.href);return false;">发帖</a></span>\n'
            "</td>\n</tr>\n</table>\n</div>\n"
        )
        top = (
            self.header(f"{plain_title} - {FORUM_TITLE} - ", "viewthread", member).replace("{tid}", str(tid))
            + f'<script src="forumdata/cache/viewthread.js?Qm8" type="text/javascript"></script>\n'
            "<script type=\"text/javascript\">zoomstatus = parseInt(1);var imagemaxwidth = '600';var aimgcount = new Array();</script>\n\n"
            f'<div id="nav">\n<a href="index.php">{FORUM_NAME}</a> &raquo; <a href="forumdisplay.php?fid={FORUM_FID}">{FORUM_TITLE}</a> &raquo; {plain_title}\n</div>\n\n'
            f"{trap}\n\n"
            '<div id="ad_text"></div>\n\n<div id="wrap" class="wrap s_clear threadfix">\n'
            + control
            + '\n<div id="postlist" class="mainbox viewthread">\n'
            + self.node(tid, FIRST_PID, 1, left, uid, MESSAGE, first=True, author_right=author_right,
                        subject_html=subject_html)
        )
        bottom = (
            '</div>\n\n<div id="postlistreply" class="mainbox viewthread"><div id="post_new" class="viewthread_table" style="display: none"></div></div>\n\n'
            '<form method="post" name="modactions" id="modactions">\n<input type="hidden" name="formhash" value="1a2b3c4d" />\n'
            '<input type="hidden" name="optgroup" />\n<input type="hidden" name="operation" />\n'
            '<input type="hidden" name="listextra" value="page%3D1" />\n</form>\n\n'
            + control.replace('class="forumcontrol"', 'class="forumcontrol s_clear"').replace(' id="visitedforums"', "").replace(
                ' id="post_reply" prompt="post_reply"', "").replace(' id="newspecial" prompt="post_newthread"', ' id="newspecialtmp"')
            + "\n</div>\n"
            + self.footer()
        )
        used = len((top + bottom).encode(self.charset))
        replies = []
        n = 0
        while used < self.page_bytes:
            n += 1
            post = self.reply(tid, n, guests=guest_replies, home=home)
            replies.append(post)
            used += len(post.encode(self.charset))
        return top + "".join(replies) + bottom

    def normal_page(self, tid, title, uid, name, plain_title=None, member=False):
        return self.thread_page(
            tid, plain_title if plain_title is not None else title, self.subject(title),
            self.member_left(uid, name, FIRST_PID, tid), uid, member=member,
            author_right=self.author_block(uid, name),
        )

    def missing_page(self):
        """showmessage('thread_nonexistence'): HTTP 200 and the message."""
        return (
            self.header("提示信息 - ", "viewthread").replace("{tid}", "0")
            + f'<div id="nav"><a href="index.php">{FORUM_NAME}</a> &raquo; 提示信息</div>\n\n'
            '<div id="wrap" class="wrap s_clear">\n<div class="msgfix">\n<div class="showmessage">\n'
            f"<h1>{FORUM_NAME}提示信息</h1>\n<p>指定的主题不存在或已被删除或正在被审核，请返回。</p>\n"
            '<p><a href="javascript:history.back()">[ 点击这里返回上一页 ]</a></p>\n\n</div>\n</div>\n</div>\n'
            + self.footer()
        )

    def login_page(self):
        """showmessagenoperm('viewperm') for a guest: nopermission.htm, the reason and a login form."""
        questions = "".join(
            f'<option value="{n}">{q}</option>\n'
            for n, q in enumerate(
                ("安全提问", "母亲的名字", "爷爷的名字", "父亲出生的城市", "您其中一位老师的名字", "您个人计算机的型号",
                 "您最喜欢的餐馆名称", "驾驶执照的最后四位数字")
            )
        )
        return (
            self.header("提示信息 - ", "viewthread").replace("{tid}", "0")
            + f'<div id="nav"><a href="index.php">{FORUM_NAME}</a> &raquo; 提示信息</div>\n\n'
            '<div id="wrap" class="wrap s_clear"><div class="main"><div class="content nofloat">\n'
            f'<div class="fcontent alert_win">\n<h3 class="float_ctrl"><em>{FORUM_NAME} 提示信息</em></h3>\n<hr class="shadowline" />\n'
            '<div class="postbox"><div class="alert_error">\n<p>您无权进行当前操作，原因如下：</p>\n'
            "<p>对不起，您还未登录，无权访问该版块。</p></div>\n"
            '<div class="alert_act">\n'
            '<form method="post" name="login" id="loginform" class="gateform" onsubmit="pwdclear = 1;" action="logging.php?action=login&amp;loginsubmit=yes">\n'
            '<input type="hidden" name="formhash" value="1a2b3c4d" />\n<table cellspacing="0" cellpadding="0" class="formtable">\n'
            '<tr>\n<th>\n<select name="loginfield" id="loginfield">\n<option value="username">用户名</option>\n<option value="uid">UID</option>\n</select>\n</th>\n'
            '<td><input type="text" name="username" autocomplete="off" size="36" class="txt" tabindex="1" value="" /></td>\n</tr>\n'
            '<tr>\n<th><label for="password3">密码</label></th>\n'
            '<td><input type="password" id="password3" name="password" onkeypress="detectCapsLock(event, this)" size="36" class="txt" tabindex="2" /></td>\n</tr>\n'
            f'<tr>\n<th><label for="questionid">安全提问</label></th>\n<td>\n<select id="questionid" name="questionid" tabindex="3">\n{questions}</select>\n</td>\n</tr>\n'
            '<tr>\n<th><label for="answer">回答</label></th>\n'
            '<td><input type="text" name="answer" id="answer" autocomplete="off" size="36" class="txt" tabindex="4" /></td>\n</tr>\n'
            '<tr>\n<th>&nbsp;</th>\n<td>\n'
            '<a class="right" href="register.php" onclick="showWindow(\'register\', this.href);return false;">注册</a>\n'
            '<button class="submit" type="submit" name="loginsubmit" value="true" tabindex="6">登录</button>\n'
            '<input type="checkbox" class="checkbox" name="cookietime" id="cookietime" tabindex="5" value="2592000"  /> <label for="cookietime">记住我的登录状态</label>\n'
            "</td>\n</tr>\n</table>\n</form>\n</div>\n</div>\n</div></div></div>\n"
            + self.footer()
        )

    def home_page(self, threads):
        """index.php (discuz.htm, classic layout) with its hot-threads box."""
        hot = "".join(
            f'<li><a href="viewthread.php?tid={tid}" target="_blank">{title}</a></li>\n' for tid, title in threads
        )
        forums = "".join(
            f'<tbody id="forum{fid}">\n<tr>\n<th class="new">\n<div class="left">\n'
            f'<h2><a href="forumdisplay.php?fid={fid}" >版块 {fid}</a><em> (今日: <strong>3</strong>)</em></h2>\n'
            f"<p>本地测试用的版块</p>\n</div>\n</th>\n"
            f'<td class="forumnums">\n<em>{fid * 37}</em> / {fid * 512}\n</td>\n<td class="forumlast">\n'
            f'<p><a href="redirect.php?tid={threads[0][0]}&amp;goto=lastpost#lastpost">{threads[0][1]}</a></p>\n'
            f"<cite>admin - {POST_DATE}</cite>\n</td>\n</tr>\n</tbody>\n"
            for fid in range(2, 24)
        )
        return (
            self.header("", "index").replace("{tid}", "0")
            + f'<div id="nav"><a href="index.php">{FORUM_NAME}</a> &raquo; 首页</div>\n<div id="ad_text"></div>\n'
            '<div id="wrap" class="wrap s_clear">\n<div class="main"><div class="content">\n\n'
            f'<div class="mainbox" id="hottopics">\n<h3>论坛热点</h3>\n<ul class="s_clear">\n{hot}</ul>\n</div>\n\n'
            '<div class="itemtitle s_clear">\n<p class="right forumcount">\n'
            f"今日: <em>12</em>, 昨日: <em>34</em>, 会员: <em>{MEMBER_TOTAL}</em>\n</p>\n</div>\n\n"
            '<div class="mainbox list">\n<span class="headactions">\n'
            '<img id="category_1_img" src="images/default/collapsed_no.gif" title="收起/展开" alt="收起/展开" onclick="toggle_collapse(\'category_1\');" />\n'
            '</span>\n<h3><a href="index.php?gid=1">技术区</a></h3>\n'
            f'<table id="category_1" summary="category1" cellspacing="0" cellpadding="0" style="">\n{forums}</table>\n</div>\n'
            "<div id=\"ad_intercat_1\"></div>\n\n</div></div>\n\n</div>\n"
            + self.footer()
        )


def make(markup, base, charset, reply_texts, page_bytes):
    if markup == "discuz-x3":
        return DiscuzX3(base, charset, reply_texts, page_bytes)
    if markup == "discuz-x3-rewrite":
        return DiscuzX3(base, charset, reply_texts, page_bytes, rewrite=True)
    if markup == "discuz-7":
        return Discuz7(base, charset, reply_texts, page_bytes)
    raise ValueError(markup)
