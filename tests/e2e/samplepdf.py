"""Small, valid PDF files whose pages carry a known text, so a joined file's page order can be read
back with pdftotext."""

import os


def _page_stream(text):
    escaped = text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")
    return f"BT /F1 24 Tf 72 720 Td ({escaped}) Tj ET".encode("latin-1")


def pdf_bytes(page_texts, image_bytes=0):
    """A PDF with one page per text; with image_bytes, each page also shows a grey image of about
    that many bytes of noise, stored as it is, so the file is large and no filter shrinks it."""
    count = len(page_texts)
    # Objects: 1 catalog, 2 pages, 3 font, then a page and its content stream for every text, and
    # its image where there is one.
    per_page = 3 if image_bytes else 2
    page_ids = [4 + per_page * i for i in range(count)]
    width = 1024
    height = max(1, image_bytes // width)
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [" + b" ".join(b"%d 0 R" % p for p in page_ids)
        + b"] /Count %d >>" % count,
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    ]
    for i, text in enumerate(page_texts):
        stream = _page_stream(text)
        images = b""
        if image_bytes:
            images = b" /XObject << /Im1 %d 0 R >>" % (page_ids[i] + 2)
            stream = b"q 612 0 0 792 0 0 cm /Im1 Do Q " + stream
        objects.append(b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] "
                       b"/Resources << /Font << /F1 3 0 R >>%s >> /Contents %d 0 R >>"
                       % (images, page_ids[i] + 1))
        objects.append(b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream")
        if image_bytes:
            noise = os.urandom(width * height)
            objects.append(b"<< /Type /XObject /Subtype /Image /Width %d /Height %d "
                           b"/ColorSpace /DeviceGray /BitsPerComponent 8 /Length %d >>\nstream\n"
                           % (width, height, len(noise)) + noise + b"\nendstream")

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


def write_pdf(path, page_texts, image_bytes=0):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(pdf_bytes(page_texts, image_bytes))
    return path


if __name__ == "__main__":
    # samplepdf.py [--image-mib N] FOLDER NAME...: one file of one page per name, the page showing
    # the name, and with --image-mib an image of N MiB.
    import sys
    arguments = sys.argv[1:]
    image_bytes = 0
    if arguments[:1] == ["--image-mib"]:
        image_bytes = int(float(arguments[1]) * 1024 * 1024)
        arguments = arguments[2:]
    for relative in arguments[1:]:
        write_pdf(os.path.join(arguments[0], relative), [relative], image_bytes)
