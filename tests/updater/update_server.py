#!/usr/bin/env python3
"""The update server's other side for the updater tests, in its own process.

  update_server.py serve --version TEXT [--size N] [--framing F] [--head FILE]
                         [--tls CERT KEY]
      Serves /beta/betaver.txt (TEXT) and /beta/Upgrade%20Qelt.exe: N bytes
      (the head file's bytes, then a repeating pattern), written as fast as
      the socket takes them; over TLS with --tls (PEM files). F is one of
        length   a declared length
        chunked  chunks of varying size, then the terminating zero chunk
        garbage  one valid 5000-byte chunk, then a chunk size that is not a
                 number ("zz"), more data, a zero chunk
        cut      chunks that stop in the middle of one, connection closed
        unended  whole chunks, then the connection closed without the
                 terminating zero chunk
      After each installer sent it prints "sent BYTES SHA256".
      Prints every request line it receives as "request METHOD TARGET".
  update_server.py proxy
      A web proxy: CONNECT tunnels and requests in absolute form ("GET
      http://..."), to any host name at 127.0.0.1 (the port as asked).
      Prints "accepted" for each connection it accepts, and "proxied METHOD
      TARGET" for each request.

Both print "port N" once listening on 127.0.0.1 and run until killed.
"""

import argparse
import hashlib
import socket
import ssl
import sys
import threading

BLOCK = 1024 * 1024
PERIOD = 251
PATTERN = bytes(i * 13 % PERIOD for i in range(PERIOD)) * (BLOCK // PERIOD + 2)
# Chunk sizes used in turn for a chunked body.
CHUNK_SIZES = [1, 4093, 65536, BLOCK, 300000]

lock = threading.Lock()


def say(line):
    with lock:
        sys.stdout.write(line + "\n")
        sys.stdout.flush()


def read_head(conn, pending=b""):
    """The request head (up to the empty line) and what followed it."""
    data = pending
    while b"\r\n\r\n" not in data:
        more = conn.recv(65536)
        if not more:
            return None, b""
        data += more
    head, rest = data.split(b"\r\n\r\n", 1)
    return head, rest


def body_blocks(size, head):
    """The installer's bytes in blocks of at most BLOCK."""
    at = 0
    while at < size:
        n = min(BLOCK, size - at)
        block = PATTERN[at % PERIOD:at % PERIOD + n]
        if at < len(head):
            cut = min(len(head) - at, n)
            block = head[at:at + cut] + block[cut:]
        yield block
        at += n


def chunks(blocks):
    """The bytes of blocks again, cut into chunks of the sizes in turn."""
    turn = 0
    pending = b""
    for block in blocks:
        pending += block
        while len(pending) >= CHUNK_SIZES[turn % len(CHUNK_SIZES)]:
            n = CHUNK_SIZES[turn % len(CHUNK_SIZES)]
            turn += 1
            yield pending[:n]
            pending = pending[n:]
    if pending:
        yield pending


def send_installer(conn, args):
    digest = hashlib.sha256()
    sent = 0
    head_bytes = b""
    if args.head:
        with open(args.head, "rb") as f:
            head_bytes = f.read()

    def send_chunk(data):
        conn.sendall(b"%x\r\n" % len(data) + data + b"\r\n")

    if args.framing == "length":
        conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n"
                     b"Content-Type: application/octet-stream\r\n\r\n" % args.size)
        for block in body_blocks(args.size, head_bytes):
            conn.sendall(block)
            digest.update(block)
            sent += len(block)
        say("sent %d %s" % (sent, digest.hexdigest()))
        return True

    conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                 b"Content-Type: application/octet-stream\r\n\r\n")
    if args.framing == "garbage":
        first = next(body_blocks(5000, head_bytes))
        send_chunk(first)
        conn.sendall(b"zz\r\n" + PATTERN[:3000] + b"\r\n0\r\n\r\n")
        say("sent %d broken" % len(first))
        return False
    limit = args.size if args.framing != "cut" else args.size - 100
    for data in chunks(body_blocks(args.size, head_bytes)):
        if sent + len(data) > limit:
            # The connection ends inside this chunk.
            conn.sendall(b"%x\r\n" % len(data) + data[:limit - sent])
            say("sent %d cut" % limit)
            return False
        send_chunk(data)
        digest.update(data)
        sent += len(data)
    if args.framing == "unended":
        say("sent %d unended" % sent)
        return False
    conn.sendall(b"0\r\n\r\n")
    say("sent %d %s" % (sent, digest.hexdigest()))
    return True


def serve_connection(conn, args):
    pending = b""
    if args.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls[0], args.tls[1])
        try:
            conn = context.wrap_socket(conn, server_side=True)
        except (OSError, ssl.SSLError):
            conn.close()
            return
    with conn:
        while True:
            head, pending = read_head(conn, pending)
            if head is None:
                return
            line = head.split(b"\r\n")[0].decode("latin-1")
            method, target = line.split(" ")[:2]
            say("request %s %s" % (method, target))
            path = target
            if "://" in path:
                path = "/" + path.split("://", 1)[1].split("/", 1)[1]
            path = path.split("?")[0]
            if path == "/beta/betaver.txt":
                text = args.version.encode("latin-1")
                conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(text) + text)
            elif path == "/beta/Upgrade%20Qelt.exe":
                try:
                    if not send_installer(conn, args):
                        conn.shutdown(socket.SHUT_RDWR)
                        return
                except OSError:
                    say("sent aborted")
                    return
            else:
                text = b"<html>Not Found</html>"
                conn.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: %d\r\n\r\n"
                             % len(text) + text)


def pipe(source, target):
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            target.sendall(data)
    except OSError:
        pass
    for s in (source, target):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def proxy_connection(conn):
    with conn:
        head, rest = read_head(conn)
        if head is None:
            return
        lines = head.split(b"\r\n")
        method, target, version = lines[0].decode("latin-1").split(" ")
        say("proxied %s %s" % (method, target))
        if method == "CONNECT":
            port = target.rsplit(":", 1)[1]
            upstream = socket.create_connection(("127.0.0.1", int(port)))
            conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
        else:
            address, path = target.split("://", 1)[1].split("/", 1)
            port = address.rsplit(":", 1)[1] if ":" in address else "80"
            upstream = socket.create_connection(("127.0.0.1", int(port)))
            kept = [l for l in lines[1:] if not l.lower().startswith(b"proxy-")]
            upstream.sendall(("%s /%s %s\r\n" % (method, path, version)).encode("latin-1")
                             + b"\r\n".join(kept) + b"\r\n\r\n" + rest)
        with upstream:
            back = threading.Thread(target=pipe, args=(upstream, conn), daemon=True)
            back.start()
            pipe(conn, upstream)
            back.join()


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="mode", required=True)
    serve = sub.add_parser("serve")
    serve.add_argument("--version", required=True)
    serve.add_argument("--size", type=int, default=0)
    serve.add_argument("--framing", default="length",
                       choices=["length", "chunked", "garbage", "cut", "unended"])
    serve.add_argument("--head")
    serve.add_argument("--tls", nargs=2)
    sub.add_parser("proxy")
    args = parser.parse_args()

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    say("port %d" % listener.getsockname()[1])
    while True:
        conn, _ = listener.accept()
        if args.mode == "serve":
            work = threading.Thread(target=serve_connection, args=(conn, args), daemon=True)
        else:
            say("accepted")
            work = threading.Thread(target=proxy_connection, args=(conn,), daemon=True)
        work.start()


if __name__ == "__main__":
    main()
