#!/bin/sh
# Reads back the PDFs of the print test (print_titles.txt in the working
# directory: "kind title" a line) from the PDF printer's folder: page count
# and size with pdfinfo, the texts with pdftotext. Exits 77 (skipped) when the
# print test printed nothing.
titles=print_titles.txt
[ -s "$titles" ] || { echo "nothing printed"; exit 77; }
dir=${QUORX_PDF_DIR:-$HOME/PDF}
# Written under Windows: lines end in CR LF.
tr -d '\r' <"$titles" >"$titles.lf"
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# The newest PDF named after the title; waits for the spooler.
pdf_of() {
    i=0
    while [ $i -lt 1200 ]; do
        f=$(ls -t "$dir"/"$1"*.pdf 2>/dev/null | head -n 1)
        [ -n "$f" ] && { sleep 1; echo "$f"; return 0; }
        sleep 0.5
        i=$((i + 1))
    done
    return 1
}

pages_of() { pdfinfo "$1" | sed -n 's/^Pages: *//p'; }

while read -r kind title; do
    case $kind in
    none)
        sleep 1
        ls "$dir"/"$title"*.pdf >/dev/null 2>&1 && fail "$title printed, but its job was not to"
        ;;
    protocol)
        f=$(pdf_of "$title") || { fail "no PDF for $title"; continue; }
        [ "$(pages_of "$f")" = 3 ] || fail "$title: $(pages_of "$f") pages, not 3"
        pdfinfo "$f" | grep -q 'Page size:.*(A4)' || fail "$title: not A4"
        text=$(pdftotext -layout "$f" -)
        for n in 1/3 2/3 3/3; do
            printf "%s\n" "$text" | grep -q "$n" || fail "$title: no page number $n"
        done
        [ "$(printf "%s\n" "$text" | grep -c "$title")" = 3 ] || fail "$title: title not on every page"
        # Every line whole: no page loses its last character.
        i=1001
        while [ $i -le 1150 ]; do
            printf "%s\n" "$text" | grep -q "Line $i end\." || fail "$title: line $i lost or cut"
            i=$((i + 1))
        done
        ;;
    empty)
        f=$(pdf_of "$title") || { fail "no PDF for $title"; continue; }
        [ "$(pages_of "$f")" = 1 ] || fail "$title: $(pages_of "$f") pages, not 1"
        text=$(pdftotext -layout "$f" -)
        printf "%s\n" "$text" | grep -q "1/1" || fail "$title: no page number 1/1"
        printf "%s\n" "$text" | grep -q "$title" || fail "$title: no title in the header"
        ;;
    graph)
        f=$(pdf_of "$title") || { fail "no PDF for $title"; continue; }
        [ "$(pages_of "$f")" = 1 ] || fail "$title: $(pages_of "$f") pages, not 1"
        text=$(pdftotext -layout "$f" -)
        for t in "Chamber 3" "Printdate:" "Time/Div:" "Meridane Tessaly MC V2.31" 'C:\\data\\run.zqr'; do
            printf "%s\n" "$text" | grep -q "$t" || fail "$title: no \"$t\""
        done
        printf "%s\n" "$text" | grep -q "First:" && fail "$title: a first/last block without samples"
        ;;
    record)
        # A record window's page: its caption and samples, nothing of the window the tree selected.
        f=$(pdf_of "$title") || { fail "no PDF for $title"; continue; }
        [ "$(pages_of "$f")" = 1 ] || fail "$title: $(pages_of "$f") pages, not 1"
        text=$(pdftotext -layout "$f" -)
        for t in "$title - COM3" "First:"; do
            printf "%s\n" "$text" | grep -q "$t" || fail "$title: no \"$t\""
        done
        printf "%s\n" "$text" | grep -q "Chamber 1" && fail "$title: the tree's chamber printed"
        ;;
    page)
        f=$(pdf_of "$title") || { fail "no PDF for $title"; continue; }
        [ "$(pages_of "$f")" = 1 ] || fail "$title: not one page"
        ;;
    esac
done <"$titles.lf"
rm -f "$titles" "$titles.lf"
[ $failed -eq 0 ] && echo "PDFs as printed"
exit $failed
