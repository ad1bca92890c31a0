#!/usr/bin/env python3
"""A forum as the real internet shows it: relays 127.0.0.1:PORT to the sample forum and answers late, refuses
beyond a rate, fails first tries, or fails some threads for good.

Usage: forum-relay.py PORT UPSTREAM [--delay-ms N] [--rate N] [--flaky FRACTION] [--fail-file FILE]
                      [--report FILE]
  UPSTREAM      the sample forum's nginx: a port on 127.0.0.1, or unix:PATH
  --delay-ms    every answer N ms after its request arrived, as a round trip to a distant server
  --rate        at most N pages a second (a bucket of N, filled as time goes); beyond it 429 with Retry-After: 1
  --flaky       that fraction of thread pages fails its first try, every other one with 503 and with a reset
                (which pages is fixed by their address); later tries pass
  --fail-file   thread ids listed in FILE (one a line, read at every request) always get 503, Retry-After: 1
  --report      keeps in FILE, as JSON, how many requests came, how many were refused (429) or failed (503 or a
                reset) and the most connections open at once

Requests are read one at a time per connection and answered in order, keeping the connection open; each is
passed to the forum over a connection of its own.
"""
import argparse
import asyncio
import hashlib
import json
import os
import re
import signal
import socket
import struct
import time

counts = {"requests": 0, "refused": 0, "failed": 0, "most_open": 0}
open_now = 0
tried = set()  # thread pages that had their first try


class Bucket:
    def __init__(self, per_second):
        self.per_second = per_second
        self.tokens = float(per_second)
        self.filled = time.monotonic()

    def take(self):
        now = time.monotonic()
        self.tokens = min(self.per_second, self.tokens + (now - self.filled) * self.per_second)
        self.filled = now
        if self.tokens < 1:
            return False
        self.tokens -= 1
        return True


THREAD_ID = re.compile(rb"(?:thread-|[?&]tid=)(-?\d+)")


def thread_id(path):
    match = THREAD_ID.search(path)
    return match.group(1).decode() if match else None


def listed_failures(path):
    try:
        with open(path) as f:
            return {line.strip() for line in f if line.strip()}
    except OSError:
        return set()


def flaky(path, fraction):
    """Whether this thread page's first try fails, and how: the same answer for the same address every run."""
    digest = hashlib.sha1(path).digest()
    if int.from_bytes(digest[:4], "big") / 2**32 >= fraction:
        return None
    return "reset" if digest[4] % 2 else "503"


def answer(status, reason, extra=b""):
    body = f"<html><body><h1>{status} {reason}</h1></body></html>".encode()
    return (f"HTTP/1.1 {status} {reason}\r\nContent-Type: text/html\r\nContent-Length: {len(body)}\r\n".encode()
            + extra + b"\r\n" + body)


async def from_upstream(upstream, head):
    """The forum's answer to the request `head`, as an HTTP/1.1 answer with its length, for a kept connection."""
    if upstream.startswith("unix:"):
        reader, writer = await asyncio.open_unix_connection(upstream[5:])
    else:
        reader, writer = await asyncio.open_connection("127.0.0.1", int(upstream))
    # HTTP/1.0 without keep-alive: the forum sends the body plainly and closes, so the end is the body's end.
    lines = head.split(b"\r\n")
    method, target, _ = lines[0].split(b" ", 2)
    kept = [line for line in lines[1:] if line and not line.lower().startswith((b"connection:", b"keep-alive:"))]
    writer.write(b" ".join([method, target, b"HTTP/1.0"]) + b"\r\n" + b"\r\n".join(kept) + b"\r\n\r\n")
    await writer.drain()
    data = await reader.read()
    writer.close()
    response_head, _, body = data.partition(b"\r\n\r\n")
    status_line, *headers = response_head.split(b"\r\n")
    dropped = (b"connection:", b"keep-alive:", b"content-length:", b"transfer-encoding:")
    headers = [h for h in headers if not h.lower().startswith(dropped)]
    if method.upper() == b"HEAD":
        body = b""
    status_line = b"HTTP/1.1 " + status_line.split(b" ", 1)[1]
    return (status_line + b"\r\n" + b"".join(h + b"\r\n" for h in headers)
            + b"Content-Length: " + str(len(body)).encode() + b"\r\n\r\n" + body)


def save_report(options):
    if options.report:
        with open(options.report + ".new", "w") as f:
            json.dump(counts, f)
            f.write("\n")
        os.replace(options.report + ".new", options.report)


def break_off(writer):
    sock = writer.get_extra_info("socket")
    if sock is not None:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    writer.transport.abort()


async def serve(reader, writer, options, bucket):
    global open_now
    open_now += 1
    counts["most_open"] = max(counts["most_open"], open_now)
    try:
        while True:
            try:
                head = await reader.readuntil(b"\r\n\r\n")
            except (asyncio.IncompleteReadError, asyncio.LimitOverrunError):
                return
            arrived = time.monotonic()
            counts["requests"] += 1
            path = head.split(b" ", 2)[1] if head.count(b" ") >= 2 else b"/"
            tid = thread_id(path)
            fault = None
            if bucket and not bucket.take():
                fault = "429"
            elif tid is not None and options.fail_file and tid in listed_failures(options.fail_file):
                fault = "503"
            elif tid is not None and options.flaky > 0 and path not in tried:
                tried.add(path)
                fault = flaky(path, options.flaky)
            if fault is None:
                response = await from_upstream(options.upstream, head)
            wait = arrived + options.delay_ms / 1000 - time.monotonic()
            if wait > 0:
                await asyncio.sleep(wait)
            if fault == "reset":
                counts["failed"] += 1
                save_report(options)
                break_off(writer)
                return
            if fault == "429":
                counts["refused"] += 1
                response = answer(429, "Too Many Requests", b"Retry-After: 1\r\n")
            elif fault == "503":
                counts["failed"] += 1
                response = answer(503, "Service Unavailable", b"Retry-After: 1\r\n")
            save_report(options)
            writer.write(response)
            await writer.drain()
    except (ConnectionError, OSError):
        pass
    finally:
        open_now -= 1
        writer.close()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port", type=int)
    parser.add_argument("upstream")
    parser.add_argument("--delay-ms", type=int, default=0)
    parser.add_argument("--rate", type=int, default=0)
    parser.add_argument("--flaky", type=float, default=0.0)
    parser.add_argument("--fail-file")
    parser.add_argument("--report")
    options = parser.parse_args()
    bucket = Bucket(options.rate) if options.rate > 0 else None
    server = await asyncio.start_server(lambda r, w: serve(r, w, options, bucket), "127.0.0.1", options.port)
    stop = asyncio.Event()
    asyncio.get_running_loop().add_signal_handler(signal.SIGTERM, stop.set)
    save_report(options)
    async with server:
        await stop.wait()
    save_report(options)


if __name__ == "__main__":
    asyncio.run(main())
