#!/bin/sh
# Fetches the Debian packages of the Russian text corpus and writes their running text.
#
#   tools/corpus/fetch_debian_text.sh OUTDIR [SET]
#
# SET "bench": fortunes-ru, the Russian catalogues of the wesnoth data and campaigns and of
# freeciv-data (about 0.6 million words). SET "all" (the default) adds the Russian manual
# pages and the LibreOffice and GIMP help (about 2 million words).
#
# Writes OUTDIR/PACKAGE.txt (UTF-8, paragraphs separated by blank lines) for every package of
# the set and OUTDIR/SOURCES.tsv ("package TAB version TAB licence", one line per package).
# Packages come only from `apt-get download` and are kept in OUTDIR/debs (or in
# $LEMMIX_DEB_CACHE): once fetched, a run needs no network, and a text is extracted again only
# when its package or the extractor changed. Run as root (or any user apt lets download).
set -eu

usage() {
    echo "usage: $0 OUTDIR [bench|all]" >&2
    exit 2
}

[ $# -ge 1 ] && [ $# -le 2 ] || usage
outdir=$1
set_name=${2:-all}
here=$(cd "$(dirname "$0")" && pwd)
extract="$here/extract_text.py"

wesnoth_campaigns="did dm dw ei httt l low nr sof sota sotbe thot trow tsg ttb utbs"

# "package kind" lines of a set; kind says how extract_text.py reads the package.
packages() {
    echo "fortunes-ru fortune"
    echo "wesnoth-1.16-data mo"
    for campaign in $wesnoth_campaigns; do
        echo "wesnoth-1.16-$campaign mo"
    done
    echo "freeciv-data mo"
    if [ "$1" = all ]; then
        echo "manpages-ru man"
        echo "manpages-ru-dev man"
        echo "libreoffice-help-ru html"
        echo "gimp-help-ru html"
    fi
}

# The files of a package that hold its text, as a tar pattern.
members_of() {
    case $1 in
        fortune) echo './usr/share/games/fortunes/*' ;;
        mo) echo '*/locale/ru/LC_MESSAGES/*' ;;
        man) echo './usr/share/man/ru/*' ;;
        html) echo '*/help/ru/*' ;;
    esac
}

case $set_name in
    bench | all) ;;
    *) usage ;;
esac

mkdir -p "$outdir"
cache=${LEMMIX_DEB_CACHE:-$outdir/debs}
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# Prints the cached .deb of a package, fetching it first when the cache has none.
deb_of() {
    found=$(ls "$cache/$1"_*.deb 2>/dev/null | sort -V | tail -n 1 || true)
    if [ -z "$found" ]; then
        (cd "$cache" && apt-get -o APT::Sandbox::User=root -qq download "$1") >&2 || {
            echo "$0: cannot download $1 (is 'apt-get update' needed?)" >&2
            exit 1
        }
        found=$(ls "$cache/$1"_*.deb | sort -V | tail -n 1)
    fi
    echo "$found"
}

# The copyright file of a package; gimp-help-ru links its documentation folder to
# gimp-help-common's, so that package is fetched for its copyright alone.
copyright_of() {
    package=$1
    root=$2
    file="$root/usr/share/doc/$package/copyright"
    if [ -f "$file" ]; then
        echo "$file"
        return
    fi
    target=$(readlink "$root/usr/share/doc/$package" || true)
    [ -n "$target" ] || { echo "$0: $package has no copyright file" >&2; exit 1; }
    other=$(deb_of "$target")
    mkdir -p "$work/$target"
    dpkg-deb -x "$other" "$work/$target"
    echo "$work/$target/usr/share/doc/$target/copyright"
}

sources="$outdir/SOURCES.tsv"
: >"$sources.new"
packages "$set_name" | while read -r package kind; do
    deb=$(deb_of "$package")
    version=$(dpkg-deb -f "$deb" Version)
    root="$work/$package"
    mkdir -p "$root"
    if [ ! -s "$deb.licence" ] || [ "$extract" -nt "$deb.licence" ]; then
        dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$root" --wildcards './usr/share/doc/*'
        python3 "$extract" licence "$(copyright_of "$package" "$root")" >"$deb.licence"
    fi
    licence=$(cat "$deb.licence")
    text="$outdir/$package.txt"
    if [ ! -s "$text" ] || [ "$deb" -nt "$text" ] || [ "$extract" -nt "$text" ]; then
        dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$root" --wildcards "$(members_of "$kind")"
        python3 "$extract" "$kind" "$root" "$text.new"
        mv "$text.new" "$text"
    fi
    printf '%s\t%s\t%s\n' "$package" "$version" "$licence" >>"$sources.new"
    echo "$package $version: $(wc -w <"$text") words" >&2
    rm -rf "$root"
done
mv "$sources.new" "$sources"

# Texts of packages outside the set (left by an earlier run with another set) go.
for text in "$outdir"/*.txt; do
    [ -e "$text" ] || continue
    package=$(basename "$text" .txt)
    cut -f 1 "$sources" | grep -qxF "$package" || rm -f "$text"
done
