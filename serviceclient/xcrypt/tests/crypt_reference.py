#!/usr/bin/python3
"""Independent reference for the known answers of xcrypt_tests.

Prints the MD5 key material, AES-128-CBC ciphertexts and Base64 texts that the tests expect,
computed with hashlib and python3-cryptography. Run: /usr/bin/python3 crypt_reference.py
The pass phrases are unscrambled here, independently, from the tables in passphrase.cpp.
"""
import base64
import hashlib
import pathlib
import re

from cryptography.hazmat.primitives import padding
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

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


def show(label, value):
    print(f"{label}: {value}")


# Plain MD5 and the pass phrase + salt order.
show("md5('')", md5(b"").hex())
show("md5('abc')", md5(b"abc").hex())
show("md5('phrase0001' + 'salt5678')", md5(b"phrase0001" + b"salt5678").hex())

# AES-CBC with a fixed key and vector.
key = bytes(range(16))
iv = bytes(range(16, 32))
for plain in [b"A", b"0123456789abcdef", b"printer-identity-0042"]:
    show(f"aes(key 00..0f, iv 10..1f, {plain!r})", aes_cbc(key, iv, plain).hex())

# Base64 of the salt followed by the ciphertext.
show("base64('f')", base64.b64encode(b"f").decode())
show("base64('fo')", base64.b64encode(b"fo").decode())
show("base64('foo')", base64.b64encode(b"foo").decode())
show("base64(00 ff fe 3e 3f)", base64.b64encode(bytes([0x00, 0xFF, 0xFE, 0x3E, 0x3F])).decode())

# Key material and texts of the regional services with the salt "k3y5a1t9".
salt = b"k3y5a1t9"
specs = {
    "KIV": ("QelKey", "KivVector"),
    "REM": ("RemKey", "RemVector"),
    "TAVA": ("TavaKey", "TavaVector"),
}
for spec, (key_name, vector_name) in specs.items():
    spec_key = md5(phrase(key_name))
    spec_iv = md5(phrase(vector_name) + salt)
    show(f"{spec} key", spec_key.hex())
    show(f"{spec} iv", spec_iv.hex())
    for plain in [b"0123456789abcdef", "PRN-\u00e9-7".encode()]:
        text = base64.b64encode(salt + aes_cbc(spec_key, spec_iv, plain)).decode()
        show(f"{spec} text of {plain!r}", text)

# The binary-salt base key material with the salt 00..0f.
qel_salt = bytes(range(16))
show("QEL key", md5(phrase("QelKey")).hex())
show("QEL iv", md5(phrase("QelVector") + qel_salt).hex())
