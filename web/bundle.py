#!/usr/bin/env python3
"""Writes the page as one self-contained HTML file: the style and the script
inline, the WebAssembly module as base64 in a data block, and a Content
Security Policy that lets exactly these run and nothing load."""

import argparse
import base64
import hashlib
import pathlib
import sys

LIMIT = 400 * 1024


def digest(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode()).digest()).decode() + "'"


def inline(html, tag, content, kind):
    if html.count(tag) != 1:
        sys.exit(f"bundle.py: page.html must hold {tag} once")
    if f"</{kind}" in content.lower():
        sys.exit(f"bundle.py: the {kind} would end its own element")
    return html.replace(tag, f"<{kind}>{content}</{kind}>")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for name in ("wasm", "html", "script", "style", "output"):
        parser.add_argument("--" + name, type=pathlib.Path, required=True)
    args = parser.parse_args()

    html = args.html.read_text(encoding="utf-8")
    script = args.script.read_text(encoding="utf-8")
    style = args.style.read_text(encoding="utf-8")
    module = base64.b64encode(args.wasm.read_bytes()).decode()

    # The favicon's data: URL is the one image; without it the browser asks
    # the server for /favicon.ico.
    policy = (
        f"default-src 'none'; script-src {digest(script)} 'wasm-unsafe-eval'; "
        f"style-src {digest(style)}; img-src data:"
    )
    charset = '<meta charset="utf-8">'
    if html.count(charset) != 1:
        sys.exit("bundle.py: page.html must start its head with " + charset)
    html = html.replace(charset, f'{charset}\n<meta http-equiv="Content-Security-Policy" content="{policy}">')
    html = inline(html, '<link rel="stylesheet" href="page.css">', style, "style")
    html = inline(html, '<script src="page.js"></script>', script, "script")
    data_block = '<script id="module" type="application/wasm" src="solitons.wasm"></script>'
    if html.count(data_block) != 1:
        sys.exit("bundle.py: page.html must hold " + data_block + " once")
    html = html.replace(data_block, f'<script id="module" type="application/wasm">{module}</script>')

    size = len(html.encode())
    if size > LIMIT:
        sys.exit(f"bundle.py: the page has {size} bytes, more than {LIMIT}")
    args.output.write_text(html, encoding="utf-8")


if __name__ == "__main__":
    main()
