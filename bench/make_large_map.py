#!/usr/bin/env python3
"""Writes a map package of about N branches (default 100,000): one root branch whose main
branches are each a tree of 10 branches per level (11,111 branches), every title distinct.
One root, as roots without a stored position all stand on the same spot and would paint over
each other. Usage: make_large_map.py out.ixd [N]"""
import sys
import zipfile

def main():
    out = sys.argv[1]
    total = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<document uid="DOCLARGE" version="1" revision="1" '
             'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="contents.xsd">']
    count = 0

    def branch(depth):
        nonlocal count
        count += 1
        parts.append('<branch uid="B%032X"><title>Branch %d</title>' % (count, count))
        if depth < 4:
            for _ in range(10):
                if count >= total:
                    break
                branch(depth + 1)
        parts.append('</branch>')

    count += 1
    parts.append('<branch uid="B%032X"><title>Branch %d</title>' % (count, count))
    while count < total:
        branch(0)
    parts.append('</branch>')
    parts.append('</document>')
    with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as archive:
        archive.writestr('contents.xml', ''.join(parts))
    print('%s: %d branches' % (out, count))

main()
