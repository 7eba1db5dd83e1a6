#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the tree as a desktop, man and bash see it.
set -euo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
prefix=$(mktemp -d)
mime=$(mktemp -d)
trap 'rm -rf "$prefix" "$mime"' EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

man1=share/man/man1
man1_de=share/man/de/man1
completion=share/bash-completion/completions/velotrix-cli
metainfo=share/metainfo/org.velotrix.velotrix.metainfo.xml
for file in bin/velotrix bin/velotrix-cli $man1/velotrix.1.gz $man1/velotrix-cli.1.gz \
    $man1_de/velotrix.1.gz $man1_de/velotrix-cli.1.gz $completion \
    share/applications/velotrix.desktop $metainfo share/mime/packages/velotrix.xml \
    share/icons/hicolor/scalable/apps/velotrix.svg share/doc/velotrix/README.md \
    share/doc/velotrix/copyright share/doc/velotrix/changelog.gz; do
    [[ -s $prefix/$file ]] || fail "missing $file"
done
[[ -x $prefix/bin/velotrix && -x $prefix/bin/velotrix-cli ]] || fail "programs not executable"

# Each PNG icon has the size of its folder (width and height from the IHDR chunk).
for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/velotrix.png
    [[ -s $png ]] || fail "missing icon ${size}x${size}"
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [[ $width == "$size" && $height == "$size" ]] || fail "icon ${size}x${size} is ${width}x${height}"
done

desktop-file-validate "$prefix/share/applications/velotrix.desktop" || fail "desktop file invalid"
appstreamcli validate --no-net "$prefix/$metainfo" >/dev/null || fail "metainfo invalid"

# The file type reaches the MIME database and is offered in the menu entry.
mkdir "$mime/packages"
cp "$prefix/share/mime/packages/velotrix.xml" "$mime/packages/"
output=$(update-mime-database "$mime" 2>&1) || fail "MIME package rejected: $output"
grep -q '^50:application/x-z80-program:\*\.z80$' "$mime/globs2" || fail "*.z80 not registered"
grep -qx 'MimeType=application/x-z80-program;' "$prefix/share/applications/velotrix.desktop" ||
    fail "menu entry offers other types than the z80 type"

# Every page, English and German, renders without a warning and gives mandb its whatis entry.
for page in $man1/velotrix $man1/velotrix-cli $man1_de/velotrix $man1_de/velotrix-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l -Tutf8 "$prefix/$page.1.gz" 2>&1 >/dev/null) ||
        fail "man cannot render $page.1"
    [[ -z $warnings ]] || fail "$page.1: $warnings"
    lexgrog "$prefix/$page.1.gz" >/dev/null || fail "$page.1 has no NAME line for whatis"
done

# man picks the page by the language asked for: German for de, English for any other.
for lang in de en fr; do
    want=$man1/velotrix-cli.1.gz
    [[ $lang == de ]] && want=$man1_de/velotrix-cli.1.gz
    found=$(MANPATH="$prefix/share/man" man -L "$lang" -w velotrix-cli 2>&1) || fail "man -L $lang: $found"
    [[ $found == "$prefix/$want" ]] || fail "man -L $lang finds $found, not $want"
done

# In either language the two pages name each other, the window's page shows its FILE, and the page
# of velotrix-cli has an entry for every command and option that its --help names.
help=$(LC_ALL=C.UTF-8 "$prefix/bin/velotrix-cli" --help)
commands=$(awk '/^Befehle:/ { inside = 1; next } /^$/ { inside = 0 } inside && /^  [a-z]/ { print $1 }' <<<"$help")
# "--option=WERT" in the help is the general form, not an option.
options=$(grep -oE -- '(^|[[:space:]])--?[a-z][a-z-]*' <<<"$help" | sed 's/^[[:space:]]*//' |
    grep -vx -- --option | sort -u)
[[ $(wc -w <<<"$commands") -ge 5 && $(wc -w <<<"$options") -ge 15 ]] ||
    fail "cannot read the commands and options from --help"
check_pages() {
    local dir=$1 synopsis=$2 see_also=$3 file=$4 manual window_manual word
    manual=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$prefix/$dir/velotrix-cli.1.gz" 2>/dev/null)
    window_manual=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$prefix/$dir/velotrix.1.gz" 2>/dev/null)
    grep -A2 "^$see_also" <<<"$manual" | grep -q 'velotrix(1)' || fail "$dir/velotrix-cli.1 does not name velotrix(1)"
    grep -A2 "^$see_also" <<<"$window_manual" | grep -q 'velotrix-cli(1)' ||
        fail "$dir/velotrix.1 does not name velotrix-cli(1)"
    grep -A2 "^$synopsis" <<<"$window_manual" | grep -q "velotrix \\[$file\\]" || fail "$dir/velotrix.1 shows no $file"
    for word in $commands $options; do
        # An option with a short form stands as "-p, --port".
        grep -qE -- "^ +(-[a-z], )?$word([ ,]|$)" <<<"$manual" || fail "$dir/velotrix-cli.1 has no entry for $word"
    done
}
check_pages $man1 SYNOPSIS 'SEE ALSO' FILE
check_pages $man1_de ÜBERSICHT 'SIEHE AUCH' DATEI

# The completion loads in a plain bash and completes commands, options and values.
bash --norc --noprofile -c '
    set -u
    source "$1" || exit 1
    complete -p velotrix-cli >/dev/null || exit 1
    expect() {
        local want=$1
        shift
        COMP_WORDS=("$@")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMPREPLY=()
        _velotrix_cli
        [[ "${COMPREPLY[*]}" == "$want" ]] || { echo "completing \"$*\": \"${COMPREPLY[*]}\", expected \"$want\"" >&2; exit 1; }
    }
    expect "send selftest" velotrix-cli se
    expect "off" velotrix-cli selftest --rts of
    expect "ports" velotrix-cli p
    expect "--timeout" velotrix-cli receive --ti
    expect "--parity --pause" velotrix-cli send x.bin --pa
    expect "ungerade" velotrix-cli send x.bin --parity u
    expect "keine CTS none cts" velotrix-cli text HALLO --flow = ""
' completion "$prefix/$completion" || fail "bash completion"

echo "check-install: $(find "$prefix" -type f | wc -l) files installed, all checks passed"
