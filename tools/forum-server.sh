#!/bin/bash
# Starts and stops the sample forum on 127.0.0.1: a private nginx whose config, pid, logs and temp files all live in DIR.
#   forum-server.sh start DIR PORT [CHARSET [DELAY_MS [MARKUP [FAULTS]]]]
#                                    generates the forum for http://127.0.0.1:PORT/ when needed, its pages in CHARSET
#                                    (gbk, the default, or utf-8, declared in the Content-Type header and the pages'
#                                    meta tags) and in the markup of MARKUP (design, the default, discuz-x3,
#                                    discuz-x3-rewrite or discuz-7; see tools/sample-forum.py), starts nginx, waits
#                                    until it answers and prints the base address; with DELAY_MS (0 for none), a
#                                    forum far away: nginx listens on a socket in DIR and tools/forum-relay.py serves
#                                    PORT, every answer DELAY_MS late; FAULTS are further options of the relay
#                                    ("--rate 20", "--flaky 0.2", "--fail-file F"), which keeps its counts in
#                                    DIR/relay.json
#   forum-server.sh stop DIR         stops that nginx and waits until it is gone
# Both are safe to run twice. Progress lines go to stderr, one per phase.
set -euo pipefail

tools=$(cd "$(dirname "$0")" && pwd)

say() { echo "forum-server: $*" >&2; }
fail() {
  say "$*"
  exit 1
}

# True while the process lives (a zombie left for a non-reaping init counts as gone).
alive() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

# Prints the pid of DIR's nginx master when it runs.
running_pid() {
  local pid
  [ -s "$dir/nginx.pid" ] || return 1
  pid=$(<"$dir/nginx.pid")
  [[ $pid =~ ^[0-9]+$ ]] && alive "$pid" && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = nginx ] || return 1
  echo "$pid"
}

answers() {
  [ "$(curl --noproxy '*' -s -o /dev/null -m 2 -w '%{http_code}' "$1")" = 200 ]
}

write_config() {
  local user_line=""
  # As root the workers would otherwise drop to an account that may not read DIR.
  [ "$(id -u)" -eq 0 ] && user_line="user root root;"
  cat >"$dir/nginx.conf" <<EOF
# Sample forum on 127.0.0.1:$port (written by tools/forum-server.sh).
daemon on;
worker_processes 1;
pid "$dir/nginx.pid";
error_log "$dir/logs/error.log" warn;
$user_line
events { worker_connections 256; }
http {
    access_log off;
    client_body_temp_path "$dir/tmp/body";
    proxy_temp_path "$dir/tmp/proxy";
    fastcgi_temp_path "$dir/tmp/fastcgi";
    uwsgi_temp_path "$dir/tmp/uwsgi";
    scgi_temp_path "$dir/tmp/scgi";
    types { text/html html; }
    default_type text/html;
    charset $charset;
    server_tokens off;
    sendfile on;
    tcp_nodelay on;
    open_file_cache max=64 inactive=60s;
    keepalive_timeout 65s;
    keepalive_requests 1000000;
    # Forum pages are dynamic: keep clients from caching them between runs.
    add_header Cache-Control "no-store, no-cache, must-revalidate" always;
    etag off;
    include "$dir/forum-http.conf";
    server {
        listen $listen;
        server_name 127.0.0.1;
        include "$dir/forum.conf";
    }
}
EOF
}

stop_proxy() {
  local pid
  pid=$(cat "$dir/proxy.pid" 2>/dev/null) || return 0
  if [[ $pid =~ ^[0-9]+$ ]] && alive "$pid"; then
    kill -TERM "$pid" 2>/dev/null || true
    for ((i = 0; i < 50; i++)); do
      alive "$pid" || break
      sleep 0.1
    done
  fi
  rm -f "$dir/proxy.pid"
}

stop() {
  local pid i
  stop_proxy
  if ! pid=$(running_pid); then
    rm -f "$dir/nginx.pid"
    say "not running"
    return 0
  fi
  kill -QUIT "$pid"
  for ((i = 0; i < 100; i++)); do
    alive "$pid" || break
    sleep 0.1
  done
  if alive "$pid"; then
    kill -TERM "$pid"
    for ((i = 0; i < 50; i++)); do
      alive "$pid" || break
      sleep 0.1
    done
  fi
  alive "$pid" && fail "nginx $pid did not stop"
  rm -f "$dir/nginx.pid"
  say "stopped nginx $pid"
}

start() {
  local base nginx i
  if ! [[ $port =~ ^[0-9]+$ ]] || ((port < 1 || port > 65535)); then fail "bad port: $port"; fi
  base="http://127.0.0.1:$port/"
  nginx=$(command -v nginx || echo /usr/sbin/nginx)
  [ -x "$nginx" ] || fail "nginx is not installed (tools/install-deps.sh installs nginx-light)"
  mkdir -p "$dir/logs" "$dir/tmp"

  local fresh=0
  [ "$(cat "$dir/forum.base" 2>/dev/null)" = "$base" ] && [ "$(cat "$dir/forum.charset" 2>/dev/null)" = "$charset" ] &&
    [ "$(cat "$dir/forum.markup" 2>/dev/null)" = "$markup" ] && [ "$dir/forum.base" -nt "$tools/sample-forum.py" ] &&
    [ "$dir/forum.base" -nt "$tools/sample_forum_markups.py" ] && fresh=1
  listen="127.0.0.1:$port"
  local relayed=0
  ((delay > 0)) || [ -n "$faults" ] && relayed=1
  ((relayed)) && listen="unix:$dir/nginx.sock"
  if running_pid >/dev/null; then
    if ((fresh)) && [ "$(cat "$dir/port" 2>/dev/null)" = "$port" ] && [ "$(cat "$dir/delay" 2>/dev/null)" = "$delay" ] &&
      [ "$(cat "$dir/faults" 2>/dev/null)" = "$faults" ] && answers "$base"; then
      say "already running"
      echo "$base"
      return 0
    fi
    stop
  fi
  if ((!fresh)); then
    python3 "$tools/sample-forum.py" "$dir" "$base" "$charset" "$markup"
    say "generated the $charset $markup forum for $base in $dir"
  fi
  write_config
  echo "$port" >"$dir/port"
  echo "$delay" >"$dir/delay"
  echo "$faults" >"$dir/faults"
  rm -f "$dir/nginx.sock" "$dir/relay.json"
  local out
  if ! out=$("$nginx" -p "$dir/" -c "$dir/nginx.conf" -e "$dir/logs/error.log" 2>&1); then
    echo "$out" | tail -n 2 >&2
    fail "nginx did not start"
  fi
  if ((relayed)); then
    # Detached and away from the caller's pipes, which CTest would otherwise wait on.
    # shellcheck disable=SC2086 # FAULTS are options, split on purpose
    setsid python3 "$tools/forum-relay.py" "$port" "unix:$dir/nginx.sock" --delay-ms "$delay" --report "$dir/relay.json" \
      $faults </dev/null >"$dir/logs/proxy.log" 2>&1 &
    echo $! >"$dir/proxy.pid"
  fi
  for ((i = 0; i < 100; i++)); do
    answers "$base" && break
    sleep 0.1
  done
  answers "$base" || fail "nginx started but $base does not answer"
  say "nginx $(running_pid) serves $base"
  echo "$base"
}

case "${1:-}" in
  start)
    (($# >= 3 && $# <= 7)) || fail "usage: forum-server.sh start DIR PORT [gbk|utf-8 [DELAY_MS [MARKUP [FAULTS]]]]"
    charset=${4:-gbk}
    [ "$charset" = gbk ] || [ "$charset" = utf-8 ] || fail "charset must be gbk or utf-8: $charset"
    delay=${5:-0}
    [[ $delay =~ ^[0-9]+$ ]] || fail "delay must be a number of milliseconds: $delay"
    markup=${6:-design}
    case "$markup" in
      design | discuz-x3 | discuz-x3-rewrite | discuz-7) ;;
      *) fail "markup must be design, discuz-x3, discuz-x3-rewrite or discuz-7: $markup" ;;
    esac
    faults=${7:-}
    mkdir -p "$2"
    dir=$(cd "$2" && pwd)
    port=$3
    start
    ;;
  stop)
    [ $# -eq 2 ] || fail "usage: forum-server.sh stop DIR"
    [ -d "$2" ] || {
      say "not running"
      exit 0
    }
    dir=$(cd "$2" && pwd)
    stop
    ;;
  *) fail "usage: forum-server.sh start DIR PORT [gbk|utf-8 [DELAY_MS [MARKUP [FAULTS]]]] | stop DIR" ;;
esac
