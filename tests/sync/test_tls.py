"""A server whose certificate this computer does not trust: refused with its
fingerprint, synced once that one certificate is trusted for the account, and
refused again when the server shows another."""

import os
import ssl
import subprocess
import tempfile
import unittest
import urllib.request

from servers import PASSWORD, USER, Organizer, Phone, Server, calendar, event

EVENT = 2


def make_certificate(folder, name):
    """A self-signed certificate for 127.0.0.1: its files and its SHA-256 as lower-case hex pairs."""
    cert, key = os.path.join(folder, name + ".pem"), os.path.join(folder, name + ".key")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                    "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    out = subprocess.run(["openssl", "x509", "-in", cert, "-noout", "-fingerprint", "-sha256"],
                         check=True, capture_output=True, text=True).stdout
    return (cert, key), out.strip().split("=", 1)[1].lower()


class UntrustedCertificate(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="organizer-tls-")
        cls.tls, cls.fingerprint = make_certificate(cls.folder, "first")
        cls.server = Server("radicale", tls=cls.tls)
        # The phone knows the server: it does not check the certificate.
        unchecked = ssl.create_default_context()
        unchecked.check_hostname = False
        unchecked.verify_mode = ssl.CERT_NONE
        urllib.request.install_opener(urllib.request.build_opener(urllib.request.HTTPSHandler(context=unchecked)))

    @classmethod
    def tearDownClass(cls):
        cls.server.remove()
        subprocess.run(["rm", "-rf", cls.folder])

    def test_refused_with_its_fingerprint_then_trusted_then_refused_when_it_changes(self):
        organizer = Organizer()
        self.addCleanup(organizer.remove)
        added = organizer.run("--add-account", self.server.url, USER, stdin=PASSWORD + "\n")
        self.assertEqual(added.returncode, 1)
        self.assertIn("not trusted (SHA-256 %s)" % self.fingerprint, added.stderr)
        self.assertEqual(organizer.query("select count(*) from sync_account"), [(0,)])

        # The account as the accounts dialog stores it once the person trusted
        # that certificate, with a calendar the phone made.
        phone = Phone(self.server)
        phone.request("PROPFIND", "/%s/" % USER, "", {"Depth": "0"})
        status, body, _ = phone.request("MKCALENDAR", "/%s/work/" % USER)
        self.assertIn(status, (200, 201), body)
        phone.put("/%s/work/flight.ics" % USER, calendar(event("tls-1", "Flight")))
        organizer.change("insert into sync_account (url, user, pinned_sha256) values (?, ?, ?)",
                         self.server.url, USER, self.fingerprint.replace(":", ""))
        organizer.change("insert into sync_collection (account_id, href, kinds) values (1, ?, ?)",
                         self.server.url + "%s/work/" % USER, str(EVENT))
        synced = organizer.run("--sync", stdin=PASSWORD + "\n")
        self.assertEqual(synced.returncode, 0, synced.stderr)
        self.assertEqual(organizer.query("select title from event"), [("Flight",)])

        # Another certificate on the same server is refused again, and named.
        self.server.stop()
        self.server.tls, other = make_certificate(self.folder, "second")
        self.server.start()
        refused = organizer.run("--sync", stdin=PASSWORD + "\n")
        self.assertEqual(refused.returncode, 1)
        self.assertIn(other, refused.stderr)
        self.assertNotEqual(other, self.fingerprint)
        listed = organizer.run("--accounts")
        self.assertIn("not trusted (SHA-256 %s)" % other, listed.stdout)
        self.assertEqual(organizer.query("select title from event"), [("Flight",)])
