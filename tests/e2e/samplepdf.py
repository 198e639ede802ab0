"""Small, valid PDF files whose pages carry a known text, so a joined file's page order can be read
back with pdftotext."""

import os


def _page_stream(text):
    escaped = text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")
    return f"BT /F1 24 Tf 72 720 Td ({escaped}) Tj ET".encode("latin-1")


def pdf_bytes(page_texts):
    """A PDF with one page per text."""
    count = len(page_texts)
    # Objects: 1 catalog, 2 pages, 3 font, then a page and its content stream for every text.
    page_ids = [4 + 2 * i for i in range(count)]
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [" + b" ".join(b"%d 0 R" % p for p in page_ids)
        + b"] /Count %d >>" % count,
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    ]
    for i, text in enumerate(page_texts):
        stream = _page_stream(text)
        objects.append(b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] "
                       b"/Resources << /Font << /F1 3 0 R >> >> /Contents %d 0 R >>"
                       % (page_ids[i] + 1))
        objects.append(b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream")

    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, xref)
    return bytes(out)


def write_pdf(path, page_texts):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(pdf_bytes(page_texts))
    return path


if __name__ == "__main__":
    # samplepdf.py FOLDER NAME...: one file of one page per name, the page showing the name.
    import sys
    for relative in sys.argv[2:]:
        write_pdf(os.path.join(sys.argv[1], relative), [relative])
