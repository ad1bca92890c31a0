#!/bin/bash
# Serves the sample forum on 127.0.0.1, in GBK and then in UTF-8, and checks that every page gives what
# ExpectedThread() predicts, so the generator (tools/sample-forum.py) and the tests' expectations
# (tests/support/sample_forum.cpp) cannot drift apart. A UTF-8 page is converted to GBK first, as the program does.
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
    std::printf("count %s\n", Hex(kSampleForumMemberCount).c_str());
    for (int i = 2; i < argc; ++i) {
        const int id = std::atoi(argv[i]);
        const ExpectedThreadPage page = ExpectedThread(id, charset);
        std::printf("%d %d %s %s %s\n", id, page.exists ? 1 : 0, Hex(page.title).c_str(), Hex(page.uid).c_str(),
                    Hex(page.name).c_str());
    }
}
EOF
g++ -std=c++20 -O1 -finput-charset=UTF-8 -fexec-charset=GB18030 -I"$root" \
  "$root/tests/support/sample_forum.cpp" "$work/expect.cpp" -o "$work/expect"

for charset in gbk utf-8; do
base=$("$root/tools/forum-server.sh" start "$work/forum" "$port" "$charset")

python3 - "$base" "$port" "$work/expect" "$charset" <<'EOF'
import http.client
import random
import subprocess
import sys

base, port, expect, charset = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]


def find(text, target, start):
    """Character-aware search: matches only at GBK character starts."""
    i = start
    while i + len(target) <= len(text):
        if text.startswith(target, i):
            return i
        i += 2 if text[i] >= 0x80 else 1
    return -1


def between(text, left, right):
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


def extract(body):
    text = page_text(body)
    home = base.encode() + b"home.php?mod=space&amp;uid="
    title = between(text, b'<span rel="start" id="thread_subject">', b"</span>")
    uid = between(text, b'<strong><a href="' + home, b'"')
    name = between(text, b'<div class="authi"><a href="' + home + uid + b'" target="_blank" class="xw1">', b"</a>")
    return title, uid, name


rng = random.Random(20240101)
ids = list(range(-3, 61)) + list(range(95, 125)) + list(range(2147483630, 2147483648))
ids += [-2147483648, 12345, 99999, 100000, 1000000] + [rng.randrange(0, 2147483648) for _ in range(300)]

lines = subprocess.run([expect, charset, *map(str, ids)], check=True, capture_output=True).stdout.decode().splitlines()
count = bytes.fromhex(lines[0].split()[1][1:])
expected = {}
for line in lines[1:]:
    tid, exists, *fields = line.split()
    expected[int(tid)] = (exists == "1", *(bytes.fromhex(f[1:]) for f in fields))

conn = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
errors = []


def get(path):
    conn.request("GET", path)
    response = conn.getresponse()
    return response.status, response.getheader("Content-Type", ""), response.read()


status, ctype, body = get("/")
got = between(page_text(body), '/em><span class="pipe">|</span>会员: <em>'.encode("gbk"), b'</em><span class="pipe">')
if status != 200 or got != count:
    errors.append(f"home page: status {status}, member count {got!r}, want {count!r}")

for tid in ids:
    exists, *want = expected[tid]
    status, ctype, body = get(f"/thread-{tid}-1-1.html")
    if f"charset={charset}" not in ctype:
        errors.append(f"{tid}: Content-Type {ctype!r}")
    if status != (200 if exists else 404):
        errors.append(f"{tid}: status {status}, want {'200' if exists else '404'}")
    if not exists:
        body.decode(charset)  # the error page must be text of the forum's charset
    elif body and not 30000 <= len(body) <= 45000:
        errors.append(f"{tid}: page of {len(body)} bytes")
    got = list(extract(body))
    if got != want:
        names = ("title", "uid", "name")
        diff = ", ".join(f"{n} {g.decode('gbk', 'replace')!r} want {w.decode('gbk', 'replace')!r}"
                         for n, g, w in zip(names, got, want) if g != w)
        errors.append(f"{tid}: {diff}")

for e in errors[:40]:
    print("check-sample-forum:", e, file=sys.stderr)
if errors:
    sys.exit(f"check-sample-forum: {len(errors)} mismatches")
print(f"check-sample-forum: {len(ids)} {charset} thread pages and the home page agree with ExpectedThread()")
EOF
done
