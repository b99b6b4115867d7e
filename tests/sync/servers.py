"""Real CalDAV/CardDAV servers on 127.0.0.1 for the sync tests, the organizer
as a command, and a second client that plays the phone with plain HTTP."""

import base64
import os
import shutil
import socket
import sqlite3
import subprocess
import tempfile
import time
import urllib.error
import urllib.request
import xml.etree.ElementTree as ET

EXE = os.environ.get("ORGANIZER_EXE", "organizer")
USER, PASSWORD = "alice", "open sesame"
DAV = "{DAV:}"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Server:
    """A server process in a temporary folder, stopped with stop()."""

    def __init__(self, kind, tls=None):
        """tls: (certificate file, key file) for a Radicale that speaks https."""
        self.kind = kind
        self.tls = tls
        self.folder = tempfile.mkdtemp(prefix="organizer-dav-")
        self.port = free_port()
        self.url = "%s://127.0.0.1:%d/" % ("https" if tls else "http", self.port)
        self.proc = None
        self.start()

    def start(self):
        # The server keeps its own copy of the descriptor.
        with open(os.path.join(self.folder, "server.log"), "ab") as log:
            self.proc = self.launch(log)
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", self.port), 0.2).close()
                return
            except OSError:
                time.sleep(0.1)
        raise RuntimeError("%s did not start" % self.kind)

    def launch(self, log):
        if self.kind == "radicale":
            users = os.path.join(self.folder, "users")
            with open(users, "w") as f:
                f.write("%s:%s\n" % (USER, PASSWORD))
            config = os.path.join(self.folder, "config")
            with open(config, "w") as f:
                tls = "ssl = True\ncertificate = %s\nkey = %s\n" % self.tls if self.tls else ""
                f.write("[server]\nhosts = 127.0.0.1:%d\n%s[auth]\ntype = htpasswd\nhtpasswd_filename = %s\n"
                        "htpasswd_encryption = plain\n[storage]\nfilesystem_folder = %s\n"
                        "[logging]\nlevel = warning\n" % (self.port, tls, users, os.path.join(self.folder, "data")))
            command = ["radicale", "--config", config]
        else:
            command = ["xandikos", "-d", os.path.join(self.folder, "data"), "--defaults",
                       "-l", "127.0.0.1", "-p", str(self.port)]
        return subprocess.Popen(command, stdout=log, stderr=log)

    def stop(self):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(10)
            self.proc = None

    def remove(self):
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)


class Phone:
    """Another client of the same account: plain HTTP requests."""

    def __init__(self, server, password=PASSWORD):
        self.base = server.url.rstrip("/")
        self.auth = "Basic " + base64.b64encode(("%s:%s" % (USER, password)).encode()).decode()

    def request(self, method, href, body=None, headers=None):
        url = href if href.startswith("http") else self.base + href
        req = urllib.request.Request(url, data=body.encode() if isinstance(body, str) else body, method=method)
        req.add_header("Authorization", self.auth)
        for name, value in (headers or {}).items():
            req.add_header(name, value)
        try:
            with urllib.request.urlopen(req, timeout=30) as reply:
                return reply.status, reply.read().decode(), reply.headers.get("ETag")
        except urllib.error.HTTPError as e:
            return e.code, e.read().decode(errors="replace"), None

    def list(self, collection):
        """href -> ETag of every item in the collection."""
        status, body, _ = self.request("PROPFIND", collection, '<?xml version="1.0"?><d:propfind xmlns:d="DAV:">'
                                       '<d:prop><d:getetag/><d:resourcetype/></d:prop></d:propfind>',
                                       {"Depth": "1", "Content-Type": "application/xml"})
        assert status == 207, (status, body)
        items = {}
        for response in ET.fromstring(body).iter(DAV + "response"):
            href = response.find(DAV + "href").text
            if response.find(".//" + DAV + "collection") is None:
                items[href] = response.findtext(".//" + DAV + "getetag")
        return items

    def texts(self, collection):
        """href -> text of every item."""
        return {href: self.request("GET", href)[1] for href in self.list(collection)}

    def put(self, href, text, etag=None):
        headers = {"Content-Type": "text/vcard" if href.endswith(".vcf") else "text/calendar"}
        if etag:
            headers["If-Match"] = etag
        status, body, _ = self.request("PUT", href, text, headers)
        assert status in (200, 201, 204), (status, body)

    def delete(self, href):
        status, body, _ = self.request("DELETE", href)
        assert status in (200, 204), (status, body)

    def collections(self, home):
        status, body, _ = self.request("PROPFIND", home, '<?xml version="1.0"?><d:propfind xmlns:d="DAV:">'
                                       '<d:prop><d:resourcetype/></d:prop></d:propfind>',
                                       {"Depth": "1", "Content-Type": "application/xml"})
        if status != 207:
            return []
        found = []
        for response in ET.fromstring(body).iter(DAV + "response"):
            kinds = response.find(".//" + DAV + "resourcetype")
            if kinds is not None and len([k for k in kinds if k.tag != DAV + "collection"]):
                found.append(response.find(DAV + "href").text)
        return found


def calendar(*components):
    return ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n" + "".join(components)
            + "END:VCALENDAR\r\n")


def event(uid, summary, day="20270105", extra=""):
    return ("BEGIN:VEVENT\r\nUID:%s\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:%sT100000Z\r\n"
            "DTEND:%sT110000Z\r\nSUMMARY:%s\r\n%sEND:VEVENT\r\n" % (uid, day, day, summary, extra))


def todo(uid, summary, extra=""):
    return "BEGIN:VTODO\r\nUID:%s\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:%s\r\n%sEND:VTODO\r\n" % (uid, summary, extra)


def journal(uid, summary, text):
    return ("BEGIN:VJOURNAL\r\nUID:%s\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:%s\r\nDESCRIPTION:%s\r\n"
            "END:VJOURNAL\r\n" % (uid, summary, text))


def card(uid, family, given, extra=""):
    return ("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%s\r\nN:%s;%s;;;\r\nFN:%s %s\r\n%sEND:VCARD\r\n"
            % (uid, family, given, given, family, extra))


class Organizer:
    """The organizer's command line on a database of its own."""

    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="organizer-sync-home-")
        self.env = dict(os.environ, XDG_DATA_HOME=os.path.join(self.home, "data"),
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"))
        self.env.pop("DISPLAY", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.db = os.path.join(self.home, "data", "Tavrin", "Orvale Organizer", "organizer.db")

    def run(self, *args, stdin="", timeout=120):
        return subprocess.run([EXE] + list(args), input=stdin, capture_output=True, text=True,
                              env=self.env, timeout=timeout)

    def start(self, *args, stdin=""):
        process = subprocess.Popen([EXE] + list(args), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True, env=self.env)
        process.stdin.write(stdin)
        process.stdin.close()
        return process

    @staticmethod
    def finish(process, timeout=120):
        """Waits for a process of start(): its exit code, output and errors."""
        process.wait(timeout)
        with process.stdout, process.stderr:
            return process.returncode, process.stdout.read(), process.stderr.read()

    def query(self, sql, *params):
        with sqlite3.connect(self.db) as db:
            return db.execute(sql, params).fetchall()

    def change(self, sql, *params):
        # As a second program writing to the file would: the organizer finds
        # its changes from the records themselves.
        with sqlite3.connect(self.db) as db:
            db.execute(sql, params)

    def collection(self, kind):
        """The href (path) of the collection that receives `kind`."""
        for href, kinds in self.query("select href, kinds from sync_collection"):
            if str(kind) in kinds.split(","):
                return "/" + href.split("/", 3)[3]
        raise AssertionError("no collection receives kind %d" % kind)

    def remove(self):
        shutil.rmtree(self.home, ignore_errors=True)


class FaultyProxy:
    """Stands between the organizer and a server: counts requests and, when
    told, answers the next matching one itself (a status, or a cut connection),
    holds it until released ("hold": `held` is set when it arrives), or never
    answers it ("silent", until released)."""

    def __init__(self, upstream):
        import http.client
        import http.server
        import threading

        proxy = self
        self.requests = []
        self.faults = []  # (method, text in the body or path, status or "cut"/"hold"/"silent", headers)
        self.upstream = upstream
        self.held = threading.Event()
        self.release = threading.Event()

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def handle_one(self):
                length = int(self.headers.get("Content-Length") or 0)
                body = self.rfile.read(length) if length else b""
                proxy.requests.append((self.command, self.path))
                for fault in list(proxy.faults):
                    method, part, status, headers = fault
                    if method == self.command and (part.encode() in body or part == self.path):
                        proxy.faults.remove(fault)
                        if status == "hold":
                            proxy.held.set()
                            proxy.release.wait(120)
                            break
                        if status == "silent":
                            proxy.release.wait(120)
                            self.close_connection = True
                            return
                        if status == "cut":
                            self.wfile.write(b"HTTP/1.1 207 Multi-Status\r\nContent-Length: 5000\r\n\r\n<d:mul")
                            self.wfile.flush()
                            self.close_connection = True
                            return
                        self.send_response(status)
                        for name, value in headers.items():
                            self.send_header(name, value)
                        self.send_header("Content-Length", "0")
                        self.end_headers()
                        return
                connection = http.client.HTTPConnection("127.0.0.1", proxy.upstream.port, timeout=60)
                headers = {k: v for k, v in self.headers.items() if k.lower() not in ("host", "connection")}
                connection.request(self.command, self.path, body, headers)
                reply = connection.getresponse()
                data = reply.read()
                self.send_response(reply.status)
                for name, value in reply.getheaders():
                    if name.lower() not in ("content-length", "connection", "transfer-encoding"):
                        self.send_header(name, value)
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)
                connection.close()

            do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_MKCOL = do_MKCALENDAR = handle_one

        self.port = free_port()
        self.url = "http://127.0.0.1:%d/" % self.port
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), Handler)
        # A client killed while its request was held is gone: nothing to report.
        self.server.handle_error = lambda request, address: None
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def reset(self):
        self.faults = []
        self.requests = []
        self.held.clear()
        self.release.clear()

    def stop(self):
        self.release.set()
        self.server.shutdown()
        self.server.server_close()


class SyncCase:
    """What the sync test cases share: an organizer with an account at `url`
    (the server, or a proxy before it) whose collections start empty, and the
    phone beside it. Needs `self.server`."""

    def connect(self, url):
        if not self.server.proc:
            self.server.start()
        self.phone = Phone(self.server)
        self.organizer = Organizer()
        self.addCleanup(self.organizer.remove)
        added = self.organizer.run("--add-account", url, USER, stdin=PASSWORD + "\n")
        self.assertEqual(added.returncode, 0, added.stderr)
        self.calendar = self.organizer.collection(2)
        self.cards = self.organizer.collection(1)
        # Collections are shared by the cases of one server: each starts empty.
        for collection in (self.calendar, self.cards):
            for href in self.phone.list(collection):
                self.phone.delete(href)

    def sync(self, *args, expect_ok=True):
        done = self.organizer.run("--sync", *args, stdin=PASSWORD + "\n")
        if expect_ok:
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        return done

    def import_text(self, text, name="local.ics"):
        path = os.path.join(self.organizer.home, name)
        with open(path, "w", newline="") as f:
            f.write(text)
        done = self.organizer.run("--import", path)
        self.assertEqual(done.returncode, 0, done.stderr)

    def titles(self):
        return sorted(t for (t,) in self.organizer.query("select title from event"))

    def server_item(self, collection, uid):
        """The text of the item with this UID on the server, or None."""
        for text in self.phone.texts(collection).values():
            if "UID:%s\r\n" % uid in text or "UID:%s\n" % uid in text:
                return text
        return None

    def href_of(self, collection, uid):
        for href, text in self.phone.texts(collection).items():
            if "UID:%s" % uid in text:
                return href
        raise AssertionError("no item %s on the server" % uid)
