#!/usr/bin/python3
"""Independent reference for the known answers of xcrypt_tests.

Writes the MD5 key material, AES-128-CBC ciphertexts and Base64 texts that the tests expect,
computed with hashlib and python3-cryptography:
    crypt_reference.py --write crypt_known_answers.inc
    crypt_reference.py --check crypt_known_answers.inc   (fails when the file is out of date)
The pass phrases are unscrambled here, independently, from the tables in passphrase.cpp.
"""
import base64
import hashlib
import pathlib
import re
import sys

from cryptography.hazmat.primitives import padding
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[3] / "tools"))
from known_answers import c_string, macro_file, write_or_check  # noqa: E402

NAMES = ["QelKey", "QelVector", "KivVector", "RemKey", "RemVector", "TavaKey", "TavaVector"]


def read_tables():
    """The scrambled tables as passphrase.cpp holds them, in the order of NAMES."""
    source = (pathlib.Path(__file__).resolve().parent.parent / "passphrase.cpp").read_text()
    entries = re.findall(r"\{\{([0-9A-Fa-fx, ]+)\},\s*(\d+),\s*(0x[0-9A-Fa-f]+)\}", source)
    assert len(entries) == len(NAMES), "passphrase.cpp changed shape"
    return {
        name: ([int(b, 16) for b in table.split(",")], int(skipped), int(mask, 16))
        for name, (table, skipped, mask) in zip(NAMES, entries)
    }


TABLES = read_tables()


def phrase(name):
    table, skipped, mask = TABLES[name]
    return bytes(b ^ mask for i, b in enumerate(table) if i != skipped)


def md5(data):
    return hashlib.md5(data).digest()


def aes_cbc(key, iv, plain):
    padder = padding.PKCS7(128).padder()
    padded = padder.update(plain) + padder.finalize()
    encryptor = Cipher(algorithms.AES(key), modes.CBC(iv)).encryptor()
    return encryptor.update(padded) + encryptor.finalize()


MACROS = ("XCRYPT_KA_MD5", "XCRYPT_KA_SALTED_MD5", "XCRYPT_KA_AES", "XCRYPT_KA_BASE64",
          "XCRYPT_KA_SPEC", "XCRYPT_KA_BINARY_SALT")

# The salt of the regional services' answers, and the texts they encrypt.
SPEC_SALT = b"k3y5a1t9"
SPEC_PLAINS = (b"0123456789abcdef", "PRN-\u00e9-7".encode())
SPECS = {
    "KIV": ("QelKey", "KivVector"),
    "REM": ("RemKey", "RemVector"),
    "TAVA": ("TavaKey", "TavaVector"),
}


def known_answers(_args):
    lines = []
    # Plain MD5 and the pass phrase + salt order.
    for data in (b"", b"abc"):
        lines.append("XCRYPT_KA_MD5(%s, %s)" % (c_string(data), c_string(md5(data).hex())))
    lines.append("XCRYPT_KA_SALTED_MD5(%s, %s, %s)" % (
        c_string("phrase0001"), c_string("salt5678"),
        c_string(md5(b"phrase0001" + b"salt5678").hex())))
    # AES-CBC with the key 00..0f and the vector 10..1f.
    key = bytes(range(16))
    iv = bytes(range(16, 32))
    for plain in (b"A", b"0123456789abcdef", b"printer-identity-0042"):
        lines.append("XCRYPT_KA_AES(%s, %s)" % (c_string(plain),
                                                 c_string(aes_cbc(key, iv, plain).hex())))
    # Base64, the plain bytes in hexadecimal.
    for plain in (b"f", b"fo", b"foo", bytes([0x00, 0xFF, 0xFE, 0x3E, 0x3F])):
        lines.append("XCRYPT_KA_BASE64(%s, %s)" % (
            c_string(plain.hex()), c_string(base64.b64encode(plain).decode())))
    # Key material of the regional services and their texts (the salt followed by the cipher).
    for spec, (key_name, vector_name) in SPECS.items():
        spec_key = md5(phrase(key_name))
        spec_iv = md5(phrase(vector_name) + SPEC_SALT)
        texts = []
        for plain in SPEC_PLAINS:
            cipher = aes_cbc(spec_key, spec_iv, plain)
            texts += [c_string(plain), c_string(base64.b64encode(SPEC_SALT + cipher).decode())]
        lines.append("XCRYPT_KA_SPEC(%s, %s, %s, %s, %s)" % (
            c_string(spec), c_string(SPEC_SALT), c_string(spec_key.hex()),
            c_string(spec_iv.hex()), ", ".join(texts)))
    # The binary-salt base key material with the salt 00..0f.
    salt = bytes(range(16))
    lines.append("XCRYPT_KA_BINARY_SALT(%s, %s, %s)" % (
        c_string(salt.hex()), c_string(md5(phrase("QelKey")).hex()),
        c_string(md5(phrase("QelVector") + salt).hex())))
    return macro_file("crypt_reference.py", MACROS, lines)


if __name__ == "__main__":
    sys.exit(write_or_check("crypt_reference.py", known_answers))
