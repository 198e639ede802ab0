#!/bin/sh
# Looks into the files that join_wintests joined for real: page count with qpdf, page order with
# pdftotext. Usage: check-joined-pdfs.sh BIN_DIR
set -eu
folder="$1/join output"
status=0

expect() {
  if [ "$2" != "$3" ]; then
    echo "$1: expected '$3', got '$2'" >&2
    status=1
  fi
}

joined="$folder/joined file.pdf"
expect "pages of the three-file join" "$(qpdf --show-npages "$joined")" 4
expect "page order" "$(pdftotext "$joined" - | tr -s ' \n\f' ' ' | sed 's/ $//')" \
  "Alpha Bravo Charlie Delta"
expect "pages of the 25-file join" "$(qpdf --show-npages "$folder/twenty-five.pdf")" 25
exit $status
