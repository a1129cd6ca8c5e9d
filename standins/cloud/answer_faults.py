"""Changes of a normal answer's body that a rule asks for: a body cut or made oversized with its
length announced as sent, XML answers whose namespaces are wrong, and malformed XML or JSON made
from the normal answer, so that a test reaches every parser of the program with the text it
would otherwise accept.

Rule keys (qelcloud.Rule), applied in this order after the normal answer was made:
  namespaces   "wrong-uri": every namespace declaration names another URI; "other-prefix": the
               declared prefixes are renamed (still well-formed, the same document by URI);
               "undeclared": the declarations are left out
  malform      "unclosed": the last closing tag or brace is left out; "bad-utf8": a byte that is
               no UTF-8 goes into the first text; "wrong-types": JSON texts become numbers and
               XML texts become child elements; "duplicate": the body's fields come twice;
               "not-json" / "not-xml": the other format's answer in its place
  cut          bytes: the body cut to this many bytes (negative: that many bytes off its end)
  pad_to       bytes: blanks after the body up to this size (an oversized, still sound answer)
"""

import re

FILLER = b" "


def _is_json(body):
    return body.lstrip()[:1] in (b"{", b"[")


def _namespaces(body, how):
    if how == "undeclared":
        return re.sub(rb'\s+xmlns:[A-Za-z0-9_.-]+="[^"]*"', b"", body)
    if how == "wrong-uri":
        return re.sub(rb'(xmlns(?::[A-Za-z0-9_.-]+)?=")([^"]*)"', rb'\1urn:wrong:\2"', body)
    if how == "other-prefix":
        prefixes = set(re.findall(rb'xmlns:([A-Za-z0-9_.-]+)=', body))
        for p in prefixes:
            body = re.sub(rb"(?<=[<\s/])" + re.escape(p) + rb":", b"o" + p + b":", body)
            body = body.replace(b"xmlns:" + p + b"=", b"xmlns:o" + p + b"=")
        return body
    raise ValueError("namespaces %r is none of wrong-uri, other-prefix, undeclared" % how)


def _malform(body, how):
    if how == "unclosed":
        end = body.rstrip()
        cut = end.rfind(b"}") if _is_json(body) else end.rfind(b"</")
        return body[:cut] if cut >= 0 else body[:len(end) // 2]
    if how == "bad-utf8":
        m = re.search(rb'>[^<]|": "', body)
        at = m.end() - 1 if m else len(body) // 2
        return body[:at] + b"\xff\xfe" + body[at:]
    if how == "wrong-types":
        if _is_json(body):
            return re.sub(rb'(":\s*)"[^"]*"', rb"\g<1>[12345]", body)
        return re.sub(rb">([^<>]+)</", rb"><x>\1</x></", body)
    if how == "duplicate":
        if _is_json(body):
            inner = body.strip()[1:-1].strip()
            return b"{" + inner + b",\n" + inner + b"}\n"
        m = re.search(rb"^(.*?<[^?!][^>]*>)(.*)(</[^>]+>\s*)$", body, re.S)
        return m.group(1) + m.group(2) + m.group(2) + m.group(3) if m else body + body
    if how == "not-json":
        return b"<?xml version=\"1.0\"?><response><result>SUCCESS</result></response>"
    if how == "not-xml":
        return b'{"result": "SUCCESS", "code": "CAPI_SUCCESS"}\n'
    raise ValueError("malform %r is none of unclosed, bad-utf8, wrong-types, duplicate, "
                     "not-json, not-xml" % how)


def change_body(body, behaviour):
    """The body as the rule's changes leave it; the body itself when the rule has none."""
    if behaviour.get("namespaces"):
        body = _namespaces(body, behaviour["namespaces"])
    if behaviour.get("malform"):
        body = _malform(body, behaviour["malform"])
    if "cut" in behaviour:
        n = int(behaviour["cut"])
        body = body[:n] if n >= 0 else body[:max(0, len(body) + n)]
    if "pad_to" in behaviour:
        body = body + FILLER * max(0, int(behaviour["pad_to"]) - len(body))
    return body
