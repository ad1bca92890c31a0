#!/usr/bin/env python3
"""A forum far away: relays 127.0.0.1:PORT to UPSTREAM and starts every answer DELAY_MS late.

Usage: delay-proxy.py PORT UPSTREAM DELAY_MS (UPSTREAM: a port on 127.0.0.1, or unix:PATH)
Each request (the first bytes a client sends after an answer began) holds the answer back until DELAY_MS after
it arrived, as a round trip to a distant server would; a reused connection pays it for every request. Counts
the connections open at once and prints the most, on SIGTERM, to the file named by $QM_PROXY_REPORT.
"""
import asyncio
import os
import signal
import sys
import time

open_now = 0
most_open = 0


async def relay(client_reader, client_writer, upstream, delay):
    global open_now, most_open
    open_now += 1
    most_open = max(most_open, open_now)
    asked_at = []  # arrival times of requests not yet answered
    try:
        if upstream.startswith('unix:'):
            upstream_reader, upstream_writer = await asyncio.open_unix_connection(upstream[5:])
        else:
            upstream_reader, upstream_writer = await asyncio.open_connection('127.0.0.1', int(upstream))
    except OSError:
        open_now -= 1
        client_writer.close()
        return

    async def requests():
        while data := await client_reader.read(65536):
            if not asked_at:
                asked_at.append(time.monotonic())
            upstream_writer.write(data)
            await upstream_writer.drain()
        upstream_writer.close()

    async def answers():
        while data := await upstream_reader.read(65536):
            if asked_at:
                wait = asked_at.pop(0) + delay - time.monotonic()
                if wait > 0:
                    await asyncio.sleep(wait)
            client_writer.write(data)
            await client_writer.drain()
        client_writer.close()

    try:
        await asyncio.gather(requests(), answers())
    except (ConnectionError, OSError):
        pass
    finally:
        open_now -= 1
        client_writer.close()


async def main():
    port, upstream, delay_ms = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    server = await asyncio.start_server(lambda r, w: relay(r, w, upstream, delay_ms / 1000), '127.0.0.1', port)
    stop = asyncio.Event()
    asyncio.get_running_loop().add_signal_handler(signal.SIGTERM, stop.set)
    async with server:
        await stop.wait()
    report = os.environ.get('QM_PROXY_REPORT')
    if report:
        with open(report, 'w') as f:
            f.write(f'{most_open}\n')


if __name__ == '__main__':
    asyncio.run(main())
