#!/bin/bash
# Serves the sample forum on 127.0.0.1 in every markup, in GBK and then in UTF-8, and checks that every page gives
# what ExpectedThread() predicts, so the generator (tools/sample-forum.py) and the tests' expectations
# (tests/support/sample_forum.cpp) cannot drift apart. A UTF-8 page is converted to GBK first, as the program does.
# In the markups of real forum software it also checks the login wall with and without the sample member's cookie,
# and that the fixture pages (sample-forum.py --fixtures) are byte for byte what the server answers.
# Usage: check-sample-forum.sh [PORT]   (default: a free port)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
cleanup() {
  "$root/tools/forum-server.sh" stop "$work/forum" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

port=${1:-$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')}

# A tiny program that prints ExpectedThread() of each id given, fields in hex so any byte survives.
cat >"$work/expect.cpp" <<'EOF'
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/sample_forum.h"

static std::string Hex(const std::string& text) {
    std::string out = "=";  // keeps empty fields visible
    char byte[3];
    for (unsigned char c : text) {
        std::snprintf(byte, sizeof byte, "%02x", c);
        out += byte;
    }
    return out;
}

int main(int argc, char** argv) {
    const auto charset = std::string(argv[1]) == "utf-8" ? SampleForumCharset::kUtf8 : SampleForumCharset::kGbk;
    const std::string name = argv[2];
    const auto markup = name == "discuz-x3"           ? SampleForumMarkup::kDiscuzX3
                        : name == "discuz-x3-rewrite" ? SampleForumMarkup::kDiscuzX3Rewrite
                        : name == "discuz-7"          ? SampleForumMarkup::kDiscuz7
                                                      : SampleForumMarkup::kDesign;
    std::printf("count %s %s\n", Hex(SampleForumMemberCount(markup)).c_str(), Hex(kSampleForumLoginCookie).c_str());
    for (int i = 3; i < argc; ++i) {
        const int id = std::atoi(argv[i]);
        const ExpectedThreadPage page = ExpectedThread(id, charset, markup);
        std::printf("%d %d %d %s %s %s\n", id, page.exists ? 1 : 0, page.needs_login ? 1 : 0, Hex(page.title).c_str(),
                    Hex(page.uid).c_str(), Hex(page.name).c_str());
    }
}
EOF
g++ -std=c++20 -O1 -finput-charset=UTF-8 -fexec-charset=GB18030 -I"$root" \
  "$root/tests/support/sample_forum.cpp" "$work/expect.cpp" -o "$work/expect"

python3 "$root/tools/sample-forum.py" --fixtures "$work/fixtures" "http://127.0.0.1:$port/"

for charset in gbk utf-8; do
for markup in design discuz-x3 discuz-x3-rewrite discuz-7; do
base=$("$root/tools/forum-server.sh" start "$work/forum" "$port" "$charset" 0 "$markup")

python3 - "$base" "$port" "$work/expect" "$charset" "$markup" "$work/fixtures" <<'EOF'
import http.client
import os
import random
import subprocess
import sys

base, port, expect, charset, markup, fixtures = sys.argv[1], int(sys.argv[2]), *sys.argv[3:]


def gbk(text):
    return text.encode("gbk")


# The marker pairs that read each markup: the ones proposed for the program's site rules. {uid} in a name marker
# stands for the UID found on the page.
design_home = base.encode() + b"home.php?mod=space&amp;uid="
RULES = {
    "design": {
        "title": (b'<span rel="start" id="thread_subject">', b"</span>"),
        "uid": (b'<strong><a href="' + design_home, b'"'),
        "name": (b'<div class="authi"><a href="' + design_home + b'{uid}" target="_blank" class="xw1">', b"</a>"),
        "count": (gbk('/em><span class="pipe">|</span>会员: <em>'), b'</em><span class="pipe">'),
        "missing": gbk("抱歉，指定的主题不存在或已被删除或正在被审核"),
    },
    "discuz-x3": {
        "title": (b'<span id="thread_subject">', b"</span>"),
        "uid": (b'<strong><a href="home.php?mod=space&amp;uid=', b'"'),
        "name": (b'<div class="authi"><a href="home.php?mod=space&amp;uid={uid}" target="_blank" class="xw1">', b"</a>"),
        "count": (gbk("会员: <em>"), b"</em>"),
        "missing": gbk("抱歉，指定的主题不存在或已被删除或正在被审核"),
        "login": b'<div id="messagelogin"></div>',
        "home_link": b'href="forum.php?mod=viewthread&amp;tid=1&amp;extra="',
    },
    "discuz-x3-rewrite": {
        "title": (b'<span id="thread_subject">', b"</span>"),
        "uid": (b'<strong><a href="space-uid-', b'.html"'),
        "name": (b'<div class="authi"><a href="space-uid-{uid}.html" target="_blank" class="xw1">', b"</a>"),
        "count": (gbk("会员: <em>"), b"</em>"),
        "missing": gbk("抱歉，指定的主题不存在或已被删除或正在被审核"),
        "login": b'<div id="messagelogin"></div>',
        "home_link": b'href="thread-1-1-1.html"',
    },
    "discuz-7": {
        "title": (b"<h1>", b"</h1>"),
        "uid": (b'<li class="pm"><a href="pm.php?action=new&amp;uid=', b'"'),
        "name": (b'<a href="space.php?uid={uid}" class="posterlink" target="_blank">', b"</a>"),
        "count": (gbk("会员: <em>"), b"</em>"),
        "missing": gbk("指定的主题不存在或已被删除或正在被审核"),
        "login": gbk("对不起，您还未登录"),
        "home_link": b'href="viewthread.php?tid=1"',
    },
}
rules = RULES[markup]
real_software = markup != "design"


def address(tid):
    if markup in ("design", "discuz-x3-rewrite"):
        return f"/thread-{tid}-1-1.html"
    if markup == "discuz-x3":
        return f"/forum.php?mod=viewthread&tid={tid}"
    return f"/viewthread.php?tid={tid}"


def find(text, target, start):
    """Character-aware search: matches only at GBK character starts."""
    i = start
    while i + len(target) <= len(text):
        if text.startswith(target, i):
            return i
        i += 2 if text[i] >= 0x80 else 1
    return -1


def between(text, pair):
    left, right = pair
    at = find(text, left, 0)
    if at < 0:
        return b""
    at += len(left)
    end = find(text, right, at)
    return text[at:end] if end >= 0 else b""


def page_text(body):
    """The body up to its first zero byte, in GBK."""
    text = body.split(b"\0", 1)[0]
    return text.decode("utf-8", "replace").encode("gbk", "replace") if charset == "utf-8" else text


def notice(text, kind):
    return real_software and find(text, rules[kind], 0) >= 0


def extract(text):
    if notice(text, "missing") or notice(text, "login"):
        return b"", b"", b""
    title = between(text, rules["title"])
    uid = between(text, rules["uid"])
    left, right = rules["name"]
    name = between(text, (left.replace(b"{uid}", uid), right))
    return title, uid, name


rng = random.Random(20240101)
ids = list(range(-3, 61)) + list(range(95, 125)) + list(range(140, 150)) + list(range(1000, 1050))
ids += list(range(2147483630, 2147483648)) + [-2147483648, 12345, 99999, 100000, 1000000]
ids += [rng.randrange(0, 2147483648) for _ in range(300)]

lines = subprocess.run([expect, charset, markup, *map(str, ids)], check=True, capture_output=True).stdout.decode()
lines = lines.splitlines()
_, count_hex, cookie_hex = lines[0].split()
count, cookie = bytes.fromhex(count_hex[1:]), bytes.fromhex(cookie_hex[1:]).decode()
expected = {}
for line in lines[1:]:
    tid, exists, needs_login, *fields = line.split()
    expected[int(tid)] = (exists == "1", needs_login == "1", *(bytes.fromhex(f[1:]) for f in fields))

conn = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
errors = []


def get(path, member=False):
    conn.request("GET", path, headers={"Cookie": cookie} if member else {})
    response = conn.getresponse()
    return response.status, response.getheader("Content-Type", ""), response.read()


def compare(what, got, want):
    if list(got) != list(want):
        names = ("title", "uid", "name")
        diff = ", ".join(f"{n} {g.decode('gbk', 'replace')!r} want {w.decode('gbk', 'replace')!r}"
                         for n, g, w in zip(names, got, want) if g != w)
        errors.append(f"{what}: {diff}")


status, ctype, body = get("/")
text = page_text(body)
if status != 200 or between(text, rules["count"]) != count:
    errors.append(f"home page: status {status}, member count {between(text, rules['count'])!r}, want {count!r}")
if real_software and find(text, rules["home_link"], 0) < 0:
    errors.append(f"home page: no thread link {rules['home_link']!r}")

for tid in ids:
    exists, needs_login, *want = expected[tid]
    status, ctype, body = get(address(tid))
    text = page_text(body)
    if f"charset={charset}" not in ctype:
        errors.append(f"{tid}: Content-Type {ctype!r}")
    if not exists:
        # The design answers 404 or, for a hidden thread, the notice; the software only its notice (the rewrite
        # rule leaves a negative id to the 404).
        if status == 404 and (not real_software or (markup == "discuz-x3-rewrite" and tid < 0)):
            body.decode(charset)  # the error page must be text of the forum's charset
        elif status != 200 or find(text, rules["missing"], 0) < 0:
            errors.append(f"{tid}: status {status}, want the notice that the thread does not exist")
        continue
    if status != 200:
        errors.append(f"{tid}: status {status}, want 200")
    if needs_login:
        if not notice(text, "login") or notice(text, "missing"):
            errors.append(f"{tid}: a guest does not get the login notice")
        compare(f"{tid} (guest)", extract(text), (b"", b"", b""))
        status, ctype, body = get(address(tid), member=True)
        text = page_text(body)
        if status != 200 or notice(text, "login"):
            errors.append(f"{tid}: the member gets status {status} or the login notice")
        compare(f"{tid} (member)", extract(text), want)
        continue
    if notice(text, "login") or notice(text, "missing"):
        errors.append(f"{tid}: a thread page carries the software's notice")
    if body and not 30000 <= len(body) <= 45000:
        errors.append(f"{tid}: page of {len(body)} bytes")
    compare(str(tid), extract(text), want)
    if real_software and tid % 50 == 0 and get(address(tid), member=True)[2] != body:
        errors.append(f"{tid}: the member's page of a thread without a login differs from the guest's")

# The unit tests' fixture pages are what the server answers.
folder = os.path.join(fixtures, markup)
for name in sorted(os.listdir(folder)) if charset == "gbk" else []:
    member = name.startswith("member-")
    path = "/" if name == "home.html" else address(int(name.split("-")[-1].split(".")[0]))
    with open(os.path.join(folder, name), "rb") as f:
        if f.read() != get(path, member)[2]:
            errors.append(f"fixture {markup}/{name} differs from the page the server answers")

for e in errors[:40]:
    print("check-sample-forum:", e, file=sys.stderr)
if errors:
    sys.exit(f"check-sample-forum: {len(errors)} mismatches ({markup}, {charset})")
print(f"check-sample-forum: {len(ids)} {charset} {markup} thread pages and the home page agree with ExpectedThread()")
EOF
done
done
