#!/usr/bin/python3
"""Reference of the qel job's cryptography, written from the protocol's description.

Reads the shared protocol values and writes known answers for the library's tests:
    qel_reference.py --write known_answers.inc
    qel_reference.py --check known_answers.inc   (fails when the file is out of date)
Uses only hashlib and Debian's python3-cryptography.
"""
import hashlib
import os
import re
import sys

from cryptography.hazmat.primitives import padding
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_VALUES = os.path.join(HERE, "..", "..", "protocol_values.def")
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "..", "tools"))
from known_answers import c_string, macro_file, write_or_check  # noqa: E402

SALT_CHALLENGE = b"qzerbanu1"
SALT_RESPONSE = b"qzerbanu21"
SALT_PAYLOAD = b"qzerbanu11"


def load_tables(path):
    tables = {}
    pattern = re.compile(r"^(QEL_[A-Z_]+)\((.*)\)\s*$")
    with open(path, encoding="ascii") as f:
        for line in f:
            m = pattern.match(line.strip())
            if not m or m.group(2).startswith("host") or "..." in m.group(2):
                continue
            name, args = m.group(1), [a.strip() for a in m.group(2).split(",")]
            if name in ("QEL_NAMESPACE_HOST",):
                tables["host"] = args[0].strip('"')
                continue
            if name == "QEL_NAMESPACE_PREFIX":
                tables.setdefault("prefixes", {})[int(args[0])] = args[1].strip('"')
                continue
            values = [int(a, 0) for a in args]
            rows = tables.setdefault(name, [])
            if values[0] != len(rows):
                raise SystemExit("%s: row %d out of order" % (name, values[0]))
            rows.append(values[1:])
    for name, count, width in (("QEL_PASS_VARIANT", 16, 10), ("QEL_PERMUTATION_ROW", 18, 32),
                               ("QEL_PASS_CONSTANT_ROW", 32, 32), ("QEL_CIPHER_SELECTOR", 16, 2),
                               ("QEL_KEY_EXTENSION_ROW", 16, 16), ("QEL_IV_ROW", 16, 16)):
        rows = tables.get(name, [])
        if len(rows) != count or any(len(r) != width for r in rows):
            raise SystemExit("%s: expected %d rows of %d values" % (name, count, width))
    return tables


HEX_DIGITS = "0123456789abcdefABCDEF"


def hex_to_bytes(text):
    # int() would also take blanks and signs; only two hexadecimal digits make a byte.
    out = bytearray()
    for i in range(0, len(text) - 1, 2):
        pair = text[i:i + 2]
        if len(out) == 64 or pair[0] not in HEX_DIGITS or pair[1] not in HEX_DIGITS:
            break
        out.append(int(pair, 16))
    return bytes(out)


def derive_rounds(t, variant, input_hex, second_hex="", texts=()):
    row = t["QEL_PASS_VARIANT"][variant]
    position, passes, perm_rows = row[0], row[1], row[2:]
    block = hex_to_bytes(input_hex)
    for i in range(passes):
        perm = t["QEL_PERMUTATION_ROW"][perm_rows[i]]
        buf = bytearray(block[p] for p in perm if p < len(block))
        if i == 0:
            buf += hex_to_bytes(second_hex)
            for text in texts:
                buf += text
        buf += bytes(t["QEL_PASS_CONSTANT_ROW"][buf[position] & 0x1F])
        block = hashlib.sha256(bytes(buf)).digest()
    return block.hex()


def challenge_key_text(key_text):
    return key_text.replace(":", "").lower()


def cipher_key_text(key_text):
    if "=" in key_text:
        return key_text.split("=", 1)[1]
    return "".join(c for c in key_text.lower() if c in "0123456789abcdef")


def challenge_answer(t, key_text, challenge, job_description):
    h = hashlib.sha256(challenge_key_text(key_text).encode()).hexdigest()
    r = derive_rounds(t, 0, h)
    return derive_rounds(t, 15, r, challenge, (SALT_CHALLENGE, job_description.encode(), b"ADMIN"))


def aes_key_iv(t, key_text, selector):
    key_row, iv_row = t["QEL_CIPHER_SELECTOR"][selector]
    d1 = hashlib.sha256(cipher_key_text(key_text).encode()).digest()
    d2 = hashlib.sha256(d1 + bytes(t["QEL_KEY_EXTENSION_ROW"][key_row])).digest()
    return d2[16:], bytes(t["QEL_IV_ROW"][iv_row])


def encrypt(t, key_text, mode, selector, plain):
    if mode == 0:
        return plain
    key, iv = aes_key_iv(t, key_text, selector)
    padder = padding.PKCS7(128).padder()
    data = padder.update(plain) + padder.finalize()
    enc = Cipher(algorithms.AES(key), modes.CBC(iv)).encryptor()
    return enc.update(data) + enc.finalize()


def block_digest(value):
    return hashlib.sha256(value.to_bytes(4, "big") + SALT_PAYLOAD).hexdigest()


def response_digest(job_description, job_id, key7):
    return hashlib.sha256((job_description + job_id + key7).encode() + SALT_RESPONSE).hexdigest()


def known_answers(t):
    names = ("QEL_KA_ROUNDS", "QEL_KA_CHALLENGE", "QEL_KA_CIPHER", "QEL_KA_RESPONSE_DIGEST",
             "QEL_KA_BLOCK_DIGEST")
    lines = []
    rounds = [
        (0, hashlib.sha256(b"0123456789ab").hexdigest(), "", ()),
        (15, "00" * 32, "a1b2c3", (b"qzerbanu1", b"job", b"ADMIN")),
        (7, "ff" * 32, "", ()),
    ]
    for variant, value, second, texts in rounds:
        lines.append("QEL_KA_ROUNDS(%d, %s, %s, %s, %s)" % (
            variant, c_string(value), c_string(second),
            c_string("|".join(x.decode() for x in texts)),
            c_string(derive_rounds(t, variant, value, second, texts))))
    challenges = [
        ("00:1B:2C:3D:4E:5F", "8f3a61c0d2e4b7a9", "2f1d4c6e-8a0b-4c3d-9e5f-7a6b5c4d3e2f"),
        ("a4:5e:60:c1:22:9b", "00", "job"),
        ("A45E60C1229B", "0123456789abcdef0123456789abcdef0123456789abcdef", "x"),
    ]
    for key, challenge, job in challenges:
        lines.append("QEL_KA_CHALLENGE(%s, %s, %s, %s)" % (
            c_string(key), c_string(challenge), c_string(job),
            c_string(challenge_answer(t, key, challenge, job))))
    plain_74 = (b"<application_data><format_version>1.00</format_version>"
                b"<x>0123456789</x></application_data>")[:74]
    ciphers = [
        ("00:1B:2C:3D:4E:5F", 4, 0, plain_74),
        ("00:1B:2C:3D:4E:5F", 4, 15, b"<application_data><format_version>1.00</format_version></application_data>"),
        ("mac=A4:5E:60:C1:22:9B", 4, 7, b"0123456789abcdef"),
        ("a4:5e:60:c1:22:9b", 0, 3, b"<application_data/>"),
    ]
    for key, mode, selector, plain in ciphers:
        ciphered = encrypt(t, key, mode, selector, plain)
        digest = block_digest(sum(ciphered) & 0xFFFFFFFF)
        lines.append("QEL_KA_CIPHER(%s, %d, %d, %s, %s, %s)" % (
            c_string(key), mode, selector, c_string(plain.decode()), c_string(ciphered.hex()),
            c_string(digest)))
    for job_description, job_id, key7 in (("2f1d4c6e-8a0b-4c3d-9e5f-7a6b5c4d3e2f", "00000042",
                                           "0000000400000003"), ("", "", "0000000000000000")):
        lines.append("QEL_KA_RESPONSE_DIGEST(%s, %s, %s, %s)" % (
            c_string(job_description), c_string(job_id), c_string(key7),
            c_string(response_digest(job_description, job_id, key7))))
    for value in (0, 258, 0xFFFFFFFF):
        lines.append("QEL_KA_BLOCK_DIGEST(%du, %s)" % (value, c_string(block_digest(value))))
    return macro_file("qel_reference.py from protocol_values.def", names, lines)


def main():
    return write_or_check(
        "qel_reference.py", lambda args: known_answers(load_tables(args.values)),
        lambda parser: parser.add_argument("--values", default=DEFAULT_VALUES))


if __name__ == "__main__":
    sys.exit(main())
