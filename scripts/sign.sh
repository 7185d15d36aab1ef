#!/bin/sh
# Signs Windows exes with a vendor's code-signing certificate, using
# osslsigncode (Debian package osslsigncode).  Each EXE is written signed to
# OUTDIR under its own name; the built exe itself is left as it is.
#
#   sign.sh OUTDIR EXE...
#
# The certificate and its key, and the password, come from the environment
# (CMake's sign target passes its cache variables of the same names):
#   TOLVANE_SIGN_PKCS12         a PKCS#12 file (.p12, .pfx) holding certificate and key
#   TOLVANE_SIGN_PASSWORD_FILE  a file whose first line is the PKCS#12 password
#   TOLVANE_SIGN_TIMESTAMP_URL  optional: an RFC 3161 timestamp server, so that the
#                               signature stays valid after the certificate expires
#   TOLVANE_SIGN_NAME           optional: the description shown in Windows' prompts
set -eu
if [ $# -lt 2 ]; then
    echo "usage: sign.sh OUTDIR EXE..." >&2
    exit 2
fi
out=$1
shift
: "${TOLVANE_SIGN_PKCS12:=}" "${TOLVANE_SIGN_PASSWORD_FILE:=}" "${TOLVANE_SIGN_TIMESTAMP_URL:=}" "${TOLVANE_SIGN_NAME:=}"
if [ -z "$TOLVANE_SIGN_PKCS12" ] || [ -z "$TOLVANE_SIGN_PASSWORD_FILE" ]; then
    echo "sign: set TOLVANE_SIGN_PKCS12 and TOLVANE_SIGN_PASSWORD_FILE (environment or CMake cache)" >&2
    exit 2
fi
for file in "$TOLVANE_SIGN_PKCS12" "$TOLVANE_SIGN_PASSWORD_FILE"; do
    if [ ! -r "$file" ]; then
        echo "sign: cannot read $file" >&2
        exit 2
    fi
done
if ! command -v osslsigncode >/dev/null 2>&1; then
    echo "sign: osslsigncode is missing (Debian package osslsigncode)" >&2
    exit 2
fi
mkdir -p "$out"
# The list of exes is read once, at the start of the loop; the positional
# parameters are then free for osslsigncode's options.
for exe in "$@"; do
    target="$out/$(basename "$exe")"
    rm -f "$target"
    set -- -pkcs12 "$TOLVANE_SIGN_PKCS12" -readpass "$TOLVANE_SIGN_PASSWORD_FILE" -h sha256
    [ -n "$TOLVANE_SIGN_NAME" ] && set -- "$@" -n "$TOLVANE_SIGN_NAME"
    [ -n "$TOLVANE_SIGN_TIMESTAMP_URL" ] && set -- "$@" -ts "$TOLVANE_SIGN_TIMESTAMP_URL"
    osslsigncode sign "$@" -in "$exe" -out "$target" >/dev/null
    echo "sign: $target"
done
