#!/usr/bin/python3
"""Simulated cloud of the registration program: gateway, token server and printer-ID server.

One HTTP/1.1 server on 127.0.0.1 answers all three services the way the real servers do and
checks each request as they would (query keys and their order, form body and registration
document, signatures and headers, JSON and XML bodies, the encrypted printer identities).
It also acts as an HTTP proxy for requests in absolute form.

Every request is recorded; tests read the records and steer misbehaviour through the control
paths under /_control/ (see ControlApi). Run without arguments it serves on the port of the
development configuration (serviceclient/qelcmn/config_values.txt), so the program finds it.

    /usr/bin/python3 standins/cloud/qelcloud.py                 # foreground, Ctrl+C ends it
    /usr/bin/python3 standins/cloud/qelcloud.py --background --state-dir DIR --port 0
    /usr/bin/python3 standins/cloud/qelcloud.py --stop --state-dir DIR

Needs only the standard library and python3-cryptography (for AES).
"""

import argparse
import base64
import hashlib
import hmac
import html
import io
import json
import os
import re
import signal
import socket
import struct
import sys
import threading
import time
import traceback
import urllib.parse
import xml.etree.ElementTree as ET
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

import answer_faults

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CONFIG = os.path.normpath(os.path.join(HERE, "..", "..", "serviceclient", "qelcmn",
                                               "config_values.txt"))

# Longest time a held reply waits for its release; keeps a forgotten hold from hanging a run.
HOLD_LIMIT_S = 120.0

# ---------------------------------------------------------------------------------------------
# What the servers share with the program. The program assembles these at run time from masked
# tables; the servers hold them plainly.

TOKEN_KEY_A = b"qel-token-key-A-4f9c2e81b7d05a63e"  # tenant "rem"
TOKEN_KEY_B = b"qel-token-key-B-8d1e7c30a9f64b25c"  # every tenant but "rem" and "tava"
TOKEN_KEY_TAVA = b""                                 # "tava" signs with an all-zero key
PRINTER_ID_CLIENT_ID = "QelRegClient0716"
SIGNING_KEY_BYTES = 33

# The registration document's namespaces are read from the program's own definitions, so the
# two sides cannot drift apart.
NAMESPACES_SOURCE = os.path.normpath(os.path.join(HERE, "..", "..", "serviceclient", "kivutil",
                                                  "registration_namespaces.cpp"))


def read_namespaces(path):
    """The namespace URIs of the program's document writer: name -> URI from lines such as
    const char kCapNamespaceUri[] = "...";"""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    found = dict(re.findall(r'\bk(\w+)NamespaceUri\[\]\s*=\s*"([^"]*)"\s*;', text))
    missing = [n for n in ("Registration", "Cap", "Ijreg", "Xsd") if n not in found]
    if missing:
        raise RuntimeError("%s defines no namespace URI for %s" % (path, ", ".join(missing)))
    return found


_NAMESPACES = read_namespaces(NAMESPACES_SOURCE)
NS_REGISTRATION = _NAMESPACES["Registration"]
NS_CAP = _NAMESPACES["Cap"]
NS_IJREG = _NAMESPACES["Ijreg"]
NS_XSD = _NAMESPACES["Xsd"]

# Pass phrases of the encrypted identities in the registration document, by service: (key pass
# phrase, vector pass phrase). The regional gateways hold the same phrases as the program's key
# material; kept plainly here, they check the program's scrambled tables.
CRYPT_PASSPHRASES = {
    "nqo": (b"jIp-Sz72Kb", b"Db9KaxC=Wp"),
    "rem": (b"8b6Ug*pSbX", b"VWrJDZnfTd"),
    "tava": (b"V2F4LWZFX#", b"KC#lRe%bb%"),
}

GATEWAY_FUNCTIONS = ("UREG_AUTO", "INFO", "MLOGIN", "UREG_SKIP")
GATEWAY_CHANNELS = ("UR", "PY", "PY2", "PY3", "HD")
GATEWAY_USER_ACTIONS = ("NONE", "CDLG1", "CDLG2", "CDLG4", "CDLG5", "SDLG1", "SDLG2")
QUERY_KEYS = ("FNC", "CHA", "LNG", "OSV", "RES", "ARA", "DEV", "SFV", "STS", "SNO", "UAH", "FUS")
REQUIRED_QUERY_KEYS = ("FNC", "CHA", "LNG", "OSV", "RES", "DEV", "SFV")

NBE_PATH = "/gateway/nbe"
API0122_PATH = "/gateway/api0122"
PAGE_PATH = "/gateway/page"


def read_config(path):
    """The id -> text entries of the configuration values file."""
    values = {}
    try:
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\r\n")
                if not line.strip() or line.lstrip().startswith("#"):
                    continue
                ident, sep, value = line.partition("=")
                if sep and ident.strip().isdigit():
                    values[int(ident.strip())] = value.strip()
    except OSError:
        pass
    return values


class CloudConfig:
    def __init__(self, values):
        def path_of(ident, fallback):
            text = values.get(ident, "")
            return urllib.parse.urlsplit(text).path or fallback if text else fallback

        self.gateway_path = path_of(0, "/gateway/capi")
        self.printer_id_path = path_of(1, "/printerid/v1/printers")
        self.notice_path = path_of(2, "/gateway/notice")
        self.token_paths = {path_of(4, "/token/a/v1/register"), path_of(8, "/token/b/v1/register")}
        self.printer_id_key = values.get(3, "").encode("utf-8")
        port = urllib.parse.urlsplit(values.get(0, "")).port
        self.default_port = port or 18470


# ---------------------------------------------------------------------------------------------
# Server-side checks and codecs


def signing_key(text_bytes):
    """The key buffer both sides hash with: the key text cut or zero-filled to 33 bytes."""
    return text_bytes[:SIGNING_KEY_BYTES].ljust(SIGNING_KEY_BYTES, b"\0")


def token_key_for(tenant):
    if tenant == "rem":
        return signing_key(TOKEN_KEY_A)
    if tenant == "tava":
        return signing_key(TOKEN_KEY_TAVA)
    return signing_key(TOKEN_KEY_B)


AUTH_RE = re.compile(r"^Data=([0-9a-z]{32}),Signature=([A-Za-z0-9+/]+={0,2})$")


def check_signature(value, key, problems):
    """Checks an Authorization value "Data=<nonce>,Signature=<Base64 HMAC-SHA256>"."""
    if value is None:
        problems.append("no Authorization header")
        return None
    m = AUTH_RE.match(value)
    if not m:
        problems.append("Authorization header malformed: %r" % value)
        return None
    nonce, signature = m.group(1), m.group(2)
    expected = base64.b64encode(hmac.new(key, nonce.encode("ascii"), hashlib.sha256).digest())
    if not hmac.compare_digest(expected, signature.encode("ascii")):
        problems.append("signature does not match the nonce")
        return None
    return nonce


def content_type_is(value, expected_type):
    """Compares a Content-Type with "<type>; charset=UTF-8" the way servers do: the media type
    and the charset parameter, case-insensitive, quotes optional."""
    if value is None:
        return False
    parts = [p.strip() for p in value.split(";")]
    if parts[0].lower() != expected_type:
        return False
    params = {}
    for p in parts[1:]:
        k, _, v = p.partition("=")
        params[k.strip().lower()] = v.strip().strip('"').lower()
    return params.get("charset", "utf-8") == "utf-8"


FORM_VALUE_RE = re.compile(r"^(?:[A-Za-z0-9._\-+]|%[0-9A-F]{2})*$")


def form_decode(value, problems, what):
    """Decodes one URL-form-encoded value that must use the strict encoding of the program."""
    if not FORM_VALUE_RE.match(value):
        problems.append("%s is not strictly form-encoded: %r" % (what, value[:200]))
    raw = urllib.parse.unquote_to_bytes(value.replace("+", " "))
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        problems.append("%s is not UTF-8" % what)
        return raw.decode("utf-8", "replace")


def check_gateway_query(query, problems):
    """Checks the gateway query: keys in their fixed order, required keys present, values
    strictly encoded and of the known sets. Returns the decoded key -> value map."""
    if query is None:
        problems.append("no query")
        return {}
    pairs = []
    for part in query.split("&"):
        key, sep, value = part.partition("=")
        if not sep:
            problems.append("query part without '=': %r" % part)
            continue
        pairs.append((key, value))
    keys = [k for k, _ in pairs]
    unknown = [k for k in keys if k not in QUERY_KEYS]
    if unknown:
        problems.append("unknown query keys: %s" % ",".join(unknown))
    if len(set(keys)) != len(keys):
        problems.append("repeated query keys")
    order = [QUERY_KEYS.index(k) for k in keys if k in QUERY_KEYS]
    if order != sorted(order):
        problems.append("query keys out of order: %s" % ",".join(keys))
    missing = [k for k in REQUIRED_QUERY_KEYS if k not in keys]
    if missing:
        problems.append("missing query keys: %s" % ",".join(missing))
    values = {k: form_decode(v, problems, "query value " + k) for k, v in pairs}
    if values.get("FNC") not in GATEWAY_FUNCTIONS:
        problems.append("unknown function %r" % values.get("FNC"))
    if values.get("CHA", "") not in GATEWAY_CHANNELS + ("",):
        problems.append("unknown channel %r" % values.get("CHA"))
    if "UAH" in values and values["UAH"] not in GATEWAY_USER_ACTIONS:
        problems.append("unknown user action %r" % values["UAH"])
    if "FUS" in values and not re.match(r"^[0-9A-F]{4}$", values["FUS"]):
        problems.append("send-info code is not four hex digits: %r" % values["FUS"])
    for k in ("STS", "SNO", "UAH", "FUS"):
        if k in values and values[k] == "":
            problems.append("optional key %s sent empty" % k)
    return values


def decrypt_identity(text, service):
    """Base64 of (8 salt characters, AES-128-CBC ciphertext); the key is MD5 of the service's
    key pass phrase, the vector MD5 of its vector pass phrase followed by the salt."""
    from cryptography.hazmat.primitives import padding
    from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

    raw = base64.b64decode(text, validate=True)
    if len(raw) < 8 + 16 or (len(raw) - 8) % 16:
        raise ValueError("not 8 salt bytes and whole cipher blocks")
    salt, cipher_text = raw[:8], raw[8:]
    if not re.match(rb"^[0-9a-z]{8}$", salt):
        raise ValueError("salt is not 8 lower-case letters and digits")
    key_phrase, vector_phrase = CRYPT_PASSPHRASES[service]
    key = hashlib.md5(key_phrase).digest()
    iv = hashlib.md5(vector_phrase + salt).digest()
    decryptor = Cipher(algorithms.AES(key), modes.CBC(iv)).decryptor()
    padded = decryptor.update(cipher_text) + decryptor.finalize()
    unpadder = padding.PKCS7(128).unpadder()
    plain = unpadder.update(padded) + unpadder.finalize()
    return plain.decode("utf-8")


ISO8601_RE = re.compile(r"^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}(\.\d{3})?(Z|[+-]\d{2}:\d{2})$")


def check_registration_document(text, problems, info):
    """Parses and checks the registration document; fills info with what it carries."""
    if not text.startswith('<?xml version="1.0" encoding="UTF-8"?>'):
        problems.append("document does not start with the XML declaration")
    try:
        root = ET.fromstring(text.encode("utf-8"))
    except ET.ParseError as e:
        problems.append("document is not well-formed XML: %s" % e)
        return
    head = text[:text.find(">", text.find("<registration:req_0122")) + 1]
    declared = dict(re.findall(r'xmlns:(\w+)="([^"]*)"', head))
    for prefix, uri in (("registration", NS_REGISTRATION), ("cap", NS_CAP), ("ijreg", NS_IJREG),
                        ("xsd", NS_XSD)):
        if declared.get(prefix) != uri:
            problems.append("xmlns:%s is %r" % (prefix, declared.get(prefix)))
    reg, cap = "{%s}" % NS_REGISTRATION, "{%s}" % NS_CAP
    if root.tag != reg + "req_0122":
        problems.append("root element is %s" % root.tag)
        return
    ijreg = "{%s}" % NS_IJREG

    comm = root.find(cap + "communication")
    if comm is None:
        problems.append("no cap:communication")
    else:
        if comm.findtext(cap + "protocol") != "1.00":
            problems.append("cap:protocol is not 1.00")
        reqtime = comm.findtext(cap + "reqtime")
        if reqtime is None or not ISO8601_RE.match(reqtime):
            problems.append("cap:reqtime is not ISO 8601: %r" % reqtime)
        for tag, name in ((cap + "area", "area"), (cap + "agent", "agent"),
                          (ijreg + "region", "region"), (ijreg + "country", "country"),
                          (cap + "reqtime", "reqtime")):
            value = comm.findtext(tag)
            if value is not None:
                info[name] = value
    product = root.find("%suser/%sproduct" % (reg, reg))
    if root.findtext("%suser/%sregistration_type" % (reg, reg)) != "2":
        problems.append("registration_type is not 2")
    if product is None:
        problems.append("no registration:product")
        return
    if product.find(reg + "device_id") is None:
        problems.append("no registration:device_id")
    for tag, name in ((reg + "device_id", "device_id"), (reg + "serial_number", "serial_number"),
                      (ijreg + "configration", "configration"),
                      (ijreg + "device_region", "device_region"),
                      (ijreg + "server_status", "server_status")):
        value = product.findtext(tag)
        if value is not None:
            info[name] = value or ""

    # Which regional service the document was written for: "rem" shows itself through its
    # own elements; otherwise the identities tell by the pass phrases that open them.
    rem_marked = any(k in info for k in ("region", "country", "device_region"))
    for tag, name in ((ijreg + "temp_printerid", "temp_printerid"),
                      (ijreg + "set_printerid", "set_printerid")):
        element = product.find(tag)
        if element is None:
            continue
        cipher_text = element.text or ""
        info[name + ".cipher"] = cipher_text
        services = ("rem",) if rem_marked else ("rem", "tava", "nqo")
        for service in services:
            try:
                info[name] = decrypt_identity(cipher_text, service)
                info["service"] = service
                break
            except Exception:  # wrong pass phrases give bad padding or bad UTF-8
                continue
        else:
            problems.append("%s cannot be decrypted with the pass phrases of %s"
                            % (name, "/".join(services)))


# ---------------------------------------------------------------------------------------------
# Recording and misbehaviour


class Record:
    def __init__(self, seq, method, target, path, query, headers, body, via_proxy):
        self.seq = seq
        self.method = method
        self.target = target
        self.path = path
        self.query = query
        self.headers = headers  # list of (name, value) as received
        self.body = body
        self.via_proxy = via_proxy
        self.problems = []
        self.info = {}
        self.status = 0

    def header(self, name):
        for k, v in self.headers:
            if k.lower() == name.lower():
                return v
        return None

    def field(self, name):
        if name == "method":
            return self.method.encode()
        if name == "target":
            return self.target.encode("latin-1", "replace")
        if name == "path":
            return self.path.encode("latin-1", "replace")
        if name == "query":
            return (self.query or "").encode("latin-1", "replace")
        if name == "headers":
            return "".join("%s: %s\r\n" % kv for kv in self.headers).encode("latin-1", "replace")
        if name == "body":
            return self.body
        if name == "via_proxy":
            return b"1" if self.via_proxy else b"0"
        if name == "problems":
            return "\n".join(self.problems).encode("utf-8")
        if name == "status":
            return str(self.status).encode()
        if name.startswith("header."):
            value = self.header(name[len("header."):])
            return None if value is None else value.encode("latin-1", "replace")
        if name.startswith("info."):
            value = self.info.get(name[len("info."):])
            return None if value is None else str(value).encode("utf-8")
        return None


class Rule:
    """One instruction of a test. Fields (JSON):
      path, method     which requests it applies to (path prefix; default every request)
      times            how many requests it applies to (default: all)
      skip             how many matching requests pass before it applies (default 0)
      auth             "server" or "proxy": challenge with 401/407 until the Basic credentials
                       user/password come (a persistent rule, not counted by times)
      status           answer with this status instead of the normal answer
      body, body_b64   the answer body instead of the normal one
      body_repeat      {"text": t, "count": n}: t repeated n times as the answer body
      fields           changes of the normal answer: name -> text, or null to leave it out
      delay_ms         wait before answering
      hold             wait until /_control/release before answering; "mid_body": send the
                       head and half of the body first
      drop             "before_reply": close without answering; "mid_body": close after half of
                       the announced body; "mid_headers": reset the connection inside the head
      chunked          send the body in chunks instead of announcing its length
      trickle          {"every_ms": n, "for_ms": m, "body_only": b}: send the answer a byte
                       every n ms (from its body on when b), then close the connection after m
                       ms at most (default 10000), whether or not all of it went out
      headers          extra answer headers: name -> value
      namespaces, malform, cut, pad_to
                       the normal answer's body changed (answer_faults.py)
    """

    def __init__(self, spec):
        self.spec = spec
        self.path = spec.get("path", "")
        self.method = spec.get("method")
        self.times = spec.get("times")
        self.skip = int(spec.get("skip", 0))
        self.auth = spec.get("auth")

    def matches(self, record):
        if self.method and self.method != record.method:
            return False
        return record.path.startswith(self.path)


class CloudState:
    def __init__(self):
        self.lock = threading.Condition()
        self.records = []
        self.rules = []
        self.release_generation = 0
        self.stopping = False
        self.tls_failures = []
        self.nonces = set()  # every nonce a signed request used; kept across resets
        self.issued_ids = set()  # every printerId and tempPrinterId the printer-ID server gave

    def first_use_of(self, nonce):
        """True the first time a signed request shows this nonce: a replay is refused."""
        with self.lock:
            if nonce in self.nonces:
                return False
            self.nonces.add(nonce)
            return True

    def issue_ids(self, *ids):
        with self.lock:
            self.issued_ids.update(ids)

    def was_issued(self, printer_id):
        with self.lock:
            return printer_id in self.issued_ids

    def reset(self):
        with self.lock:
            self.records = []
            self.rules = []
            self.tls_failures = []
            self.release_generation += 1
            self.lock.notify_all()

    def add_rule(self, spec):
        with self.lock:
            self.rules.append(Rule(spec))
            return len(self.rules) - 1

    def release(self):
        with self.lock:
            self.release_generation += 1
            self.lock.notify_all()

    def record(self, rec):
        with self.lock:
            rec.seq = len(self.records)
            self.records.append(rec)
            self.lock.notify_all()

    def select(self, path_prefix):
        with self.lock:
            return [r for r in self.records if r.path.startswith(path_prefix or "")]

    def wait_count(self, path_prefix, count, timeout_s):
        deadline = time.monotonic() + timeout_s
        with self.lock:
            while True:
                n = len([r for r in self.records if r.path.startswith(path_prefix or "")])
                left = deadline - time.monotonic()
                if n >= count or left <= 0 or self.stopping:
                    return n
                self.lock.wait(left)

    def wait_release(self, generation):
        deadline = time.monotonic() + HOLD_LIMIT_S
        with self.lock:
            while self.release_generation == generation and not self.stopping:
                left = deadline - time.monotonic()
                if left <= 0:
                    return
                self.lock.wait(left)

    def auth_rules(self, record):
        with self.lock:
            return [r for r in self.rules if r.auth and r.matches(record)]

    def take_behaviour(self, record):
        """The first behaviour rule that applies to the request; uses up one of its times."""
        with self.lock:
            for r in self.rules:
                if r.auth or not r.matches(record):
                    continue
                if r.skip > 0:
                    r.skip -= 1
                    continue
                if r.times is not None:
                    if r.times <= 0:
                        continue
                    r.times -= 1
                return r.spec, self.release_generation
            return {}, self.release_generation


def basic_credentials(value):
    if not value or not value.lower().startswith("basic "):
        return None
    try:
        user, _, password = base64.b64decode(value[6:].strip()).decode("utf-8").partition(":")
        return user, password
    except Exception:
        return None


# ---------------------------------------------------------------------------------------------
# HTTP


class Reply:
    def __init__(self, status=200, body=b"", content_type="text/xml; charset=UTF-8"):
        self.status = status
        self.body = body
        self.headers = {"Content-Type": content_type} if content_type else {}


def xml_reply(text):
    return Reply(200, text.encode("utf-8"), "text/xml; charset=UTF-8")


def gateway_document(root, code, entries=(), open_url=None, maintenance_url=None):
    """A gateway answer: root element, cap:status/cap:code, cap:cap_api entries, the page to open
    (registration:open_url) and the maintenance notice's page (cap:maintenance_url)."""
    parts = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<%s xmlns:registration="%s" xmlns:cap="%s">' % (root, NS_REGISTRATION, NS_CAP)]
    if code is not None:
        parts.append("<cap:status><cap:code>%s</cap:code></cap:status>" % html.escape(code))
    if entries:
        parts.append("<cap:cap_api_set>")
        for key, value in entries:
            parts.append('<cap:cap_api key="%s">%s</cap:cap_api>'
                         % (html.escape(key), html.escape(value)))
        parts.append("</cap:cap_api_set>")
    if open_url is not None:
        parts.append("<registration:open_url>%s</registration:open_url>" % html.escape(open_url))
    if maintenance_url is not None:
        parts.append("<cap:maintenance_url>%s</cap:maintenance_url>"
                     % html.escape(maintenance_url))
    parts.append("</%s>" % root)
    return "".join(parts)


def apply_fields(defaults, fields):
    """The normal answer's fields with a test's changes; None leaves a field out."""
    values = dict(defaults)
    for k, v in (fields or {}).items():
        values[k] = v
    return values


class JsonPairs(list):
    """A JSON object as its (key, value) pairs in the order they came."""


class CloudHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QelCloud/1.0"
    # An answer's head and body go out as two writes; without this the second waits for the
    # client's delayed acknowledgement (tens of milliseconds a request on loopback).
    disable_nagle_algorithm = True

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (time.strftime("%H:%M:%S"), fmt % args))

    # Every method goes through one dispatcher.
    def do_GET(self):
        self.dispatch()

    do_POST = do_HEAD = do_PUT = do_DELETE = do_OPTIONS = do_GET

    @property
    def cloud(self):
        return self.server.cloud

    def base_url(self):
        return "http://127.0.0.1:%d" % self.server.server_address[1]

    def read_body(self):
        length = self.headers.get("Content-Length")
        if length is None:
            return b""
        # A client that sends the body apart from the head holds it back until the head is
        # acknowledged; acknowledge at once instead of after the delayed-ACK timer.
        quick_ack = getattr(socket, "TCP_QUICKACK", None)
        if quick_ack is not None:
            try:
                self.connection.setsockopt(socket.IPPROTO_TCP, quick_ack, 1)
            except OSError:
                pass
        try:
            n = int(length)
        except ValueError:
            return b""
        return self.rfile.read(n) if n > 0 else b""

    def dispatch(self):
        self.saw_request = True
        target = self.path
        via_proxy = target.lower().startswith("http://")
        split = urllib.parse.urlsplit(target)
        path = split.path or "/"
        query = split.query if "?" in target else None
        body = self.read_body()

        if path.startswith("/_control/"):
            self.send_reply(ControlApi(self.cloud).handle(self.command, path, split.query, body))
            return

        started = time.perf_counter()
        rec = Record(0, self.command, target, path, query, list(self.headers.items()), body,
                     via_proxy)
        self.cloud.state.record(rec)
        try:
            reply = self.challenge(rec)
            behaviour, generation = ({}, 0) if reply else self.cloud.state.take_behaviour(rec)
            if reply is None:
                reply = self.answer(rec, behaviour)
        except Exception:
            rec.problems.append("simulator fault: " + traceback.format_exc())
            reply, behaviour, generation = Reply(500, b"simulator fault", "text/plain"), {}, 0
        rec.status = reply.status
        # What a benchmark needs to send a plain request of the same sizes, and the time the
        # server took to make its answer (which a plain request does not cost it).
        rec.info["reply_bytes"] = len(reply.body)
        rec.info["answer_ms"] = "%.3f" % ((time.perf_counter() - started) * 1000)
        self.misbehave_and_send(rec, reply, behaviour, generation)

    def challenge(self, rec):
        for rule in self.cloud.state.auth_rules(rec):
            expected = (rule.spec.get("user", ""), rule.spec.get("password", ""))
            if rule.auth == "proxy":
                if not rec.via_proxy:
                    continue
                if basic_credentials(rec.header("Proxy-Authorization")) != expected:
                    reply = Reply(407, b"proxy authentication required", "text/plain")
                    reply.headers["Proxy-Authenticate"] = 'Basic realm="qelproxy"'
                    return reply
            elif basic_credentials(rec.header("Authorization")) != expected:
                reply = Reply(401, b"authentication required", "text/plain")
                reply.headers["WWW-Authenticate"] = 'Basic realm="qelcloud"'
                return reply
        return None

    def misbehave_and_send(self, rec, reply, behaviour, generation):
        hold = behaviour.get("hold")
        if hold and hold != "mid_body":
            self.cloud.state.wait_release(generation)
        if behaviour.get("delay_ms"):
            time.sleep(behaviour["delay_ms"] / 1000.0)
        for k, v in (behaviour.get("headers") or {}).items():
            reply.headers[k] = v
        drop = behaviour.get("drop")
        chunked = bool(behaviour.get("chunked"))
        if drop == "before_reply":
            self.drop_connection()
            return
        if drop == "mid_headers":
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: text/xml; cha")
            self.wfile.flush()
            # A reset, not an orderly close: what a server that crashes mid-answer leaves.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.close_connection = True
            for f in (self.rfile, self.wfile, self.connection):
                f.close()
            self.rfile, self.wfile = io.BytesIO(), io.BytesIO()  # what the handler closes after
            return
        if hold == "mid_body":
            self.send_reply(reply, cut_at=len(reply.body) // 2, head=rec.method == "HEAD",
                            chunked=chunked, then=lambda: self.cloud.state.wait_release(generation))
            return
        if drop == "mid_body":
            self.send_reply(reply, cut_at=max(1, len(reply.body) // 2), head=rec.method == "HEAD",
                            chunked=chunked)
            self.drop_connection()
            return
        if behaviour.get("trickle"):
            self.trickle_reply(reply, behaviour["trickle"], head=rec.method == "HEAD",
                               chunked=chunked)
            return
        self.send_reply(reply, head=rec.method == "HEAD", chunked=chunked)

    def trickle_reply(self, reply, how, head=False, chunked=False):
        """Sends the answer a byte at a time and stops by itself: a server that keeps each read
        of the client short but never lets the exchange end in time."""
        whole = io.BytesIO()
        real, self.wfile = self.wfile, whole
        try:
            self.send_reply(reply, head=head, chunked=chunked)
        finally:
            self.wfile = real
        answer = whole.getvalue()
        every = int(how.get("every_ms", 50)) / 1000.0
        stop_at = time.monotonic() + int(how.get("for_ms", 10000)) / 1000.0
        start = answer.find(b"\r\n\r\n") + 4 if how.get("body_only") else 0
        try:
            self.wfile.write(answer[:start])
            for i in range(start, len(answer)):
                if time.monotonic() >= stop_at:
                    break
                self.wfile.write(answer[i:i + 1])
                self.wfile.flush()
                time.sleep(every)
        except OSError:
            pass  # the client gave up
        self.drop_connection()

    def drop_connection(self):
        self.close_connection = True
        try:
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def send_reply(self, reply, cut_at=None, head=False, chunked=False, then=None):
        """Sends the answer; cut_at ends the body early (a chunked body then also lacks its
        last, empty chunk), unless then is given: then runs at the cut and the rest follows."""
        try:
            self.send_response(reply.status)
            for k, v in reply.headers.items():
                self.send_header(k, v)
            if chunked:
                self.send_header("Transfer-Encoding", "chunked")
            else:
                self.send_header("Content-Length", str(len(reply.body)))
            self.end_headers()
            parts = [reply.body] if cut_at is None else [reply.body[:cut_at]]
            if then is not None:
                parts.append(reply.body[cut_at:])
            for n, body in enumerate(parts):
                if n > 0:
                    then()
                if head:
                    pass
                elif chunked:
                    for i in range(0, len(body), 1024):
                        piece = body[i:i + 1024]
                        self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
                else:
                    self.wfile.write(body)
                self.wfile.flush()
            if chunked and not head and (cut_at is None or then is not None):
                self.wfile.write(b"0\r\n\r\n")
                self.wfile.flush()
        except OSError:
            self.close_connection = True  # the client went away (a time-out or a cancel)

    # -- the services ---------------------------------------------------------------------

    def answer(self, rec, behaviour):
        cfg = self.cloud.config
        if rec.path == cfg.gateway_path or rec.path == cfg.notice_path:
            reply = self.gateway_step1(rec, behaviour)
        elif rec.path == NBE_PATH:
            reply = self.gateway_step2(rec, behaviour)
        elif rec.path == API0122_PATH:
            reply = self.gateway_step3(rec, behaviour)
        elif rec.path in cfg.token_paths or rec.path.startswith("/token/"):
            reply = self.token(rec, behaviour)
        elif rec.path == cfg.printer_id_path:
            reply = self.printer_id(rec, behaviour)
        elif rec.path.startswith(PAGE_PATH):
            reply = self.page(rec)
        else:
            reply = Reply(404, b"not found", "text/plain")
        if "status" in behaviour:
            reply = Reply(int(behaviour["status"]), b"", "text/plain")
        if "body" in behaviour:
            reply.body = behaviour["body"].encode("utf-8")
        elif "body_b64" in behaviour:
            reply.body = base64.b64decode(behaviour["body_b64"])
        elif "body_repeat" in behaviour:
            spec = behaviour["body_repeat"]
            reply.body = spec.get("text", "x").encode("utf-8") * int(spec.get("count", 1))
        reply.body = answer_faults.change_body(reply.body, behaviour)
        return reply

    def gateway_step1(self, rec, behaviour):
        if rec.method not in ("GET", "HEAD"):
            return Reply(405, b"", None)
        values = check_gateway_query(rec.query, rec.problems)
        rec.info.update({"q." + k: v for k, v in values.items()})
        if values.get("FNC") in ("INFO", "MLOGIN") and rec.method == "GET":
            return self.page(rec, "Service page " + values.get("FNC", ""))
        code = "CAPI_INVALID_PARAMETER" if rec.problems else "CAPI_SUCCESS"
        f = self.gateway_fields({"code": code, "NBE": self.base_url() + NBE_PATH}, behaviour)
        entries = [("NBE", f["NBE"])] if f.get("NBE") is not None else []
        return xml_reply(gateway_document("cap:res_0001", f.get("code"), entries,
                                          maintenance_url=f.get("maintenance_url")))

    def gateway_step2(self, rec, behaviour):
        if rec.method != "GET":
            return Reply(405, b"", None)
        if rec.query is not None:
            rec.problems.append("address look-up sent with a query")
        f = self.gateway_fields({"code": "CAPI_SUCCESS",
                                 "CAP-API0122": self.base_url() + API0122_PATH}, behaviour)
        entries = [("CAP-API0122", f["CAP-API0122"])] if f.get("CAP-API0122") is not None else []
        return xml_reply(gateway_document("cap:res_0002", f.get("code"), entries,
                                          maintenance_url=f.get("maintenance_url")))

    def gateway_step3(self, rec, behaviour):
        if rec.method != "POST":
            return Reply(405, b"", None)
        if not content_type_is(rec.header("Content-Type"), "application/x-www-form-urlencoded"):
            rec.problems.append("Content-Type is %r" % rec.header("Content-Type"))
        for name, value in (("Pragma", "no-cache"), ("Cache-Control", "no-cache")):
            if rec.header(name) != value:
                rec.problems.append("%s is %r" % (name, rec.header(name)))
        rec.info["user_agent"] = rec.header("User-Agent") or ""
        body = rec.body.decode("latin-1")
        if not body.startswith("message="):
            rec.problems.append("body does not start with message=")
        else:
            document = form_decode(body[len("message="):], rec.problems, "message")
            rec.info["document"] = document
            check_registration_document(document, rec.problems, rec.info)
        code = "CAPI_INVALID_PARAMETER" if rec.problems else "CAPI_SUCCESS"
        page = "%s%s?reg=%d" % (self.base_url(), PAGE_PATH, rec.seq)
        for name in ("temp_printerid", "set_printerid"):
            if name in rec.info:
                issued = self.cloud.state.was_issued(rec.info[name])
                rec.info[name + ".issued"] = "1" if issued else "0"
        f = self.gateway_fields({"code": code, "open_url": page}, behaviour)
        return xml_reply(gateway_document("registration:res_0122", f.get("code"), (),
                                          f.get("open_url"), f.get("maintenance_url")))

    def gateway_fields(self, defaults, behaviour):
        """The answer's fields with a test's changes; an out-of-service answer names the
        maintenance page unless the test left it out."""
        f = apply_fields(defaults, behaviour.get("fields"))
        if f.get("code") == "CAPI_OUT_SERVICE" and "maintenance_url" not in f:
            f["maintenance_url"] = self.base_url() + PAGE_PATH + "?maintenance=1"
        return f

    def signed_nonce(self, rec, key):
        """The nonce of a correctly signed request that has not been seen before, else None."""
        nonce = check_signature(rec.header("Authorization"), key, rec.problems)
        if nonce is not None and not self.cloud.state.first_use_of(nonce):
            rec.problems.append("nonce %s was used before" % nonce)
            return None
        return nonce

    def token(self, rec, behaviour):
        if rec.method != "POST":
            return Reply(405, b"", None)
        if not content_type_is(rec.header("Content-Type"), "application/xml"):
            rec.problems.append("Content-Type is %r" % rec.header("Content-Type"))
            return Reply(415, b"", None)
        if rec.header("x-registerapp-id") != "qelprinter":
            rec.problems.append("x-registerapp-id is %r" % rec.header("x-registerapp-id"))
            return Reply(403, b"", None)
        try:
            root = ET.fromstring(rec.body)
        except ET.ParseError as e:
            rec.problems.append("body is not XML: %s" % e)
            return Reply(400, b"", None)
        names = [child.tag for child in root]
        if root.tag != "request" or names != ["tenant_id", "service_id", "mac_address"]:
            rec.problems.append("body elements are %s/%s" % (root.tag, names))
            return Reply(400, b"", None)
        tenant = root.findtext("tenant_id") or ""
        for child in root:
            rec.info[child.tag] = child.text or ""
        nonce = self.signed_nonce(rec, token_key_for(tenant))
        if nonce is None:
            return Reply(401, b"", None)
        rec.info["nonce"] = nonce
        mac = rec.info.get("mac_address", "")
        digest = hashlib.sha256((tenant + mac).encode("utf-8")).hexdigest()
        f = apply_fields({"result": "SUCCESS", "access_token": "AT-" + digest[:24],
                          "refresh_token": "RT-" + digest[24:48],
                          "url": self.base_url() + "/printer/v1/%s" % tenant},
                         behaviour.get("fields"))
        parts = ["<response>"]
        for k in ("result", "access_token", "refresh_token", "url"):
            if f.get(k) is not None:
                parts.append("<%s>%s</%s>" % (k, html.escape(f[k]), k))
                rec.info["issued." + k] = f[k]
        parts.append("</response>")
        return Reply(200, "".join(parts).encode("utf-8"), "application/xml; charset=UTF-8")

    def printer_id(self, rec, behaviour):
        if rec.method != "POST":
            return Reply(405, b"", None)
        if not content_type_is(rec.header("Content-Type"), "application/json"):
            rec.problems.append("Content-Type is %r" % rec.header("Content-Type"))
            return Reply(415, b"", None)
        if rec.header("Qel-Client-Id") != PRINTER_ID_CLIENT_ID:
            rec.problems.append("Qel-Client-Id is %r" % rec.header("Qel-Client-Id"))
            return Reply(403, b"", None)
        nonce = self.signed_nonce(rec, signing_key(self.cloud.config.printer_id_key))
        if nonce is None:
            return Reply(401, b"", None)
        rec.info["nonce"] = nonce
        try:
            pairs = json.loads(rec.body.decode("utf-8"), object_pairs_hook=JsonPairs)
        except (UnicodeDecodeError, ValueError) as e:
            rec.problems.append("body is not JSON: %s" % e)
            return Reply(400, b"", None)
        keys = ["serialNumber", "macAddress", "modelName", "region"]
        request = dict(pairs) if isinstance(pairs, JsonPairs) else None
        if request is None or sorted(request) != sorted(keys) or len(pairs) != len(keys) or \
                not all(isinstance(request[k], str) for k in keys):
            rec.problems.append("body fields are %r" % (pairs,))
            return Reply(400, b"", None)
        if [k for k, _ in pairs] != keys:
            rec.problems.append("body keys out of order: %s" % ",".join(k for k, _ in pairs))
        rec.info.update(request)
        digest = hashlib.sha256(request["serialNumber"].encode("utf-8")).hexdigest().upper()
        f = apply_fields({"printerId": "PID" + digest[:13], "tempPrinterId": "TMP" + digest[13:26],
                          "serialNumber": request["serialNumber"],
                          "macAddress": request["macAddress"],
                          "modelName": request["modelName"]}, behaviour.get("fields"))
        self.cloud.state.issue_ids(*(f[k] for k in ("printerId", "tempPrinterId") if f.get(k)))
        for k in ("printerId", "tempPrinterId"):
            if f.get(k) is not None:
                rec.info["issued." + k] = f[k]
        lines = ["  %s: %s" % (json.dumps(k), json.dumps(v, ensure_ascii=False))
                 for k, v in f.items() if v is not None]
        text = "{\n" + ",\n".join(lines) + "\n}\n"
        return Reply(200, text.encode("utf-8"), "application/json; charset=UTF-8")

    def page(self, rec, title="Printer registered"):
        text = ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%s</title></head>"
                "<body><h1>%s</h1><p>Simulated cloud page for %s</p></body></html>"
                % (html.escape(title), html.escape(title), html.escape(rec.target)))
        return Reply(200, text.encode("utf-8"), "text/html; charset=UTF-8")


class ControlApi:
    """Paths under /_control/ (never recorded):
      GET  ping                                  "ok"
      POST reset                                 forget records and rules, release holds
      POST rule            (JSON Rule)           add a rule; answers its index
      POST release                               let every held answer go
      GET  tls_port                              the TLS port (untrusted certificate)
      GET  stalled_port                          a port whose connections never complete: a
                                                 client stays in its connect
      GET  tls_failures?timeout_ms=T             reasons of failed TLS handshakes, one a line
                                                 (waits up to T ms for the first)
      GET  count?path=P                          number of recorded requests under path P
      GET  wait?path=P&count=N&timeout_ms=T      waits until N are recorded; answers the number
      GET  request?path=P&index=I&field=F        one field of request I (negative from the end)
    Fields: method target path query headers header.<name> body via_proxy status problems
    info.<name> (decoded contents, e.g. info.temp_printerid, info.nonce, info.q.FNC).
    """

    def __init__(self, cloud):
        self.cloud = cloud

    def handle(self, method, path, query, body):
        state = self.cloud.state
        args = {k: v[0] for k, v in urllib.parse.parse_qs(query or "").items()}
        name = path[len("/_control/"):]
        if name == "ping":
            return Reply(200, b"ok", "text/plain")
        if name == "reset" and method == "POST":
            state.reset()
            return Reply(200, b"ok", "text/plain")
        if name == "rule" and method == "POST":
            try:
                spec = json.loads(body.decode("utf-8"))
            except ValueError as e:
                return Reply(400, str(e).encode(), "text/plain")
            return Reply(200, str(state.add_rule(spec)).encode(), "text/plain")
        if name == "release" and method == "POST":
            state.release()
            return Reply(200, b"ok", "text/plain")
        if name == "tls_port":
            port = self.cloud.tls.server_address[1] if self.cloud.tls else 0
            return Reply(200, str(port).encode(), "text/plain")
        if name == "stalled_port":
            return Reply(200, str(self.cloud.stalled_port()).encode(), "text/plain")
        if name == "tls_failures":
            deadline = time.monotonic() + int(args.get("timeout_ms", "0")) / 1000.0
            with state.lock:
                while not state.tls_failures and time.monotonic() < deadline:
                    state.lock.wait(deadline - time.monotonic())
                text = "\n".join(state.tls_failures)
            return Reply(200, text.encode("utf-8"), "text/plain")
        if name == "count":
            return Reply(200, str(len(state.select(args.get("path")))).encode(), "text/plain")
        if name == "wait":
            n = state.wait_count(args.get("path"), int(args.get("count", "1")),
                                 int(args.get("timeout_ms", "10000")) / 1000.0)
            return Reply(200, str(n).encode(), "text/plain")
        if name == "request":
            records = state.select(args.get("path"))
            try:
                rec = records[int(args.get("index", "-1"))]
            except (IndexError, ValueError):
                return Reply(404, b"no such request", "text/plain")
            value = rec.field(args.get("field", "body"))
            if value is None:
                return Reply(404, b"no such field", "text/plain")
            return Reply(200, value, "application/octet-stream")
        return Reply(404, b"unknown control", "text/plain")


class CloudServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, config):
        super().__init__(("127.0.0.1", port), CloudHandler)
        self.cloud = self
        self.config = config
        self.state = CloudState()
        self.tls = None

    def start_tls(self):
        """Serves the TLS port on a thread of its own; gives its port."""
        self.tls = TlsCloudServer(self)
        threading.Thread(target=self.tls.serve_forever, kwargs={"poll_interval": 0.2},
                         daemon=True).start()
        return self.tls.server_address[1]

    def stalled_port(self):
        """Listens with no room for a connection and fills that room itself, so the kernel
        drops every further SYN and each connect waits for its own time-out."""
        with self.state.lock:
            if getattr(self, "stalled", None) is None:
                listener = socket.socket()
                listener.bind(("127.0.0.1", 0))
                listener.listen(0)
                self.stalled = [listener]
                for _ in range(3):
                    filler = socket.socket()
                    filler.setblocking(False)
                    filler.connect_ex(listener.getsockname())
                    self.stalled.append(filler)
            return self.stalled[0].getsockname()[1]

    def stop(self):
        with self.state.lock:
            self.state.stopping = True
            self.state.lock.notify_all()
        threading.Thread(target=self.shutdown, daemon=True).start()
        if getattr(self, "tls", None) is not None:
            threading.Thread(target=self.tls.shutdown, daemon=True).start()


def self_signed_context():
    """A server TLS context with a fresh self-signed certificate for 127.0.0.1, which no client
    trusts: a client that checks certificates must refuse it."""
    import datetime
    import ipaddress
    import ssl
    import tempfile
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import NameOID

    key = ec.generate_private_key(ec.SECP256R1())
    name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "127.0.0.1")])
    now = datetime.datetime.now(datetime.timezone.utc)
    cert = (x509.CertificateBuilder().subject_name(name).issuer_name(name)
            .public_key(key.public_key()).serial_number(x509.random_serial_number())
            .not_valid_before(now - datetime.timedelta(days=1))
            .not_valid_after(now + datetime.timedelta(days=30))
            .add_extension(x509.SubjectAlternativeName(
                [x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]), critical=False)
            .sign(key, hashes.SHA256()))
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    with tempfile.TemporaryDirectory() as tmp:
        cert_file, key_file = os.path.join(tmp, "cert.pem"), os.path.join(tmp, "key.pem")
        with open(cert_file, "wb") as f:
            f.write(cert.public_bytes(serialization.Encoding.PEM))
        with open(key_file, "wb") as f:
            f.write(key.private_bytes(serialization.Encoding.PEM,
                                      serialization.PrivateFormat.PKCS8,
                                      serialization.NoEncryption()))
        context.load_cert_chain(cert_file, key_file)
    return context


class TlsCloudServer(ThreadingHTTPServer):
    """The same services over TLS with an untrusted certificate, on a port of its own. Every
    handshake that fails is recorded with the reason the server saw, and every connection that
    ends after the handshake without a request as CLOSED_WITHOUT_REQUEST."""
    daemon_threads = True

    def __init__(self, main):
        super().__init__(("127.0.0.1", 0), CloudHandler)
        self.cloud = main
        self.config = main.config
        self.state = main.state
        self.context = self_signed_context()

    def finish_request(self, request, client_address):
        import ssl
        try:
            request.settimeout(30)
            tls = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as e:
            with self.state.lock:
                self.state.tls_failures.append(getattr(e, "reason", None) or str(e))
                self.state.lock.notify_all()
            return
        try:
            handler = self.RequestHandlerClass(tls, client_address, self)
            saw_request = getattr(handler, "saw_request", False)
        except OSError:
            saw_request = False
        if not saw_request:
            # A client that checks certificates ends the connection right after the handshake.
            with self.state.lock:
                self.state.tls_failures.append("CLOSED_WITHOUT_REQUEST")
                self.state.lock.notify_all()


# ---------------------------------------------------------------------------------------------
# Starting and stopping


def state_files(state_dir):
    return (os.path.join(state_dir, "cloud.pid"), os.path.join(state_dir, "cloud.port"),
            os.path.join(state_dir, "cloud.log"))


def write_atomic(path, text):
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write(text)
    os.replace(tmp, path)


def serve(server, state_dir=None, ready_fd=None):
    signal.signal(signal.SIGTERM, lambda *_: server.stop())
    signal.signal(signal.SIGINT, lambda *_: server.stop())
    port = server.server_address[1]
    try:
        tls_port = server.start_tls()
    except Exception:  # no TLS on this machine: the plain services still run
        traceback.print_exc()
        tls_port = 0
    if state_dir:
        pid_file, port_file, _ = state_files(state_dir)
        write_atomic(pid_file, "%d\n" % os.getpid())
        write_atomic(port_file, "%d\n" % port)
    if ready_fd is not None:
        os.write(ready_fd, b"%d\n" % port)
        os.close(ready_fd)
    else:
        print("Simulated cloud on http://127.0.0.1:%d (gateway %s, printer-ID %s, token %s); "
              "TLS with an untrusted certificate on port %d"
              % (port, server.config.gateway_path, server.config.printer_id_path,
                 ", ".join(sorted(server.config.token_paths)), tls_port), flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        if state_dir:
            for f in state_files(state_dir)[:2]:
                try:
                    os.remove(f)
                except OSError:
                    pass


def start_background(port, config, state_dir):
    """Starts a detached server and returns once it listens (or failed): the parent learns the
    port through a pipe, so nobody sleeps and waits."""
    os.makedirs(state_dir, exist_ok=True)
    _, _, log_file = state_files(state_dir)
    read_fd, write_fd = os.pipe()
    child = os.fork()
    if child == 0:
        try:
            os.close(read_fd)
            os.setsid()
            if os.fork() != 0:
                os._exit(0)
            devnull = os.open(os.devnull, os.O_RDONLY)
            log = os.open(log_file, os.O_WRONLY | os.O_CREAT | os.O_APPEND, 0o644)
            os.dup2(devnull, 0)
            os.dup2(log, 1)
            os.dup2(log, 2)
            os.closerange(3, write_fd)
            os.closerange(write_fd + 1, 1024)
            sys.stdout = os.fdopen(1, "w", buffering=1)
            sys.stderr = os.fdopen(2, "w", buffering=1)
            server = CloudServer(port, config)
            serve(server, state_dir, write_fd)
        except BaseException:
            traceback.print_exc()
        finally:
            os._exit(0)
    os.close(write_fd)
    os.waitpid(child, 0)
    data = b""
    while True:
        chunk = os.read(read_fd, 64)
        if not chunk:
            break
        data += chunk
    os.close(read_fd)
    if not data.strip():
        sys.stderr.write("the simulated cloud did not start; see %s\n" % log_file)
        return 1
    print(data.decode().strip())
    return 0


def process_is_ours(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            cmdline = f.read()
        with open("/proc/%d/stat" % pid) as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
    except OSError:
        return False
    return state != "Z" and os.path.basename(__file__).encode() in cmdline


def stop_background(state_dir, timeout_s=15.0):
    pid_file, _, _ = state_files(state_dir)
    try:
        with open(pid_file) as f:
            pid = int(f.read().strip())
    except (OSError, ValueError):
        return 0  # nothing running
    if not process_is_ours(pid):
        os.remove(pid_file)
        return 0
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + timeout_s
    while process_is_ours(pid):
        if time.monotonic() > deadline:
            os.kill(pid, signal.SIGKILL)
            break
        time.sleep(0.02)  # polling for the exit, not a fixed wait
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=None,
                        help="port to listen on (default: the development configuration's; "
                             "0 picks a free port)")
    parser.add_argument("--config", default=DEFAULT_CONFIG, help="configuration values file")
    parser.add_argument("--state-dir", help="folder for the pid, port and log files")
    parser.add_argument("--background", action="store_true",
                        help="detach; print the port once it listens (needs --state-dir)")
    parser.add_argument("--stop", action="store_true",
                        help="stop the server whose pid is in --state-dir")
    args = parser.parse_args(argv)

    config = CloudConfig(read_config(args.config))
    port = config.default_port if args.port is None else args.port
    if args.stop:
        if not args.state_dir:
            parser.error("--stop needs --state-dir")
        return stop_background(args.state_dir)
    if args.background:
        if not args.state_dir:
            parser.error("--background needs --state-dir")
        return start_background(port, config, args.state_dir)
    if args.state_dir:
        os.makedirs(args.state_dir, exist_ok=True)
    serve(CloudServer(port, config), args.state_dir)
    return 0


if __name__ == "__main__":
    sys.exit(main())
