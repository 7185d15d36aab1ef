#!/bin/sh
# The vendor's kit, on the built presets windows, windows-brand and
# posix-release (make test-kit builds them first):
#   1. the branded exe carries its brand (examples/brand);
#   2. the exes signed with a throw-away certificate verify, and a changed
#      byte breaks the signature;
#   3. a second build of the same sources in another folder gives the same
#      bytes: tolvane.exe, tolvane-check.exe, and the static Linux programs;
#   4. the release archives, written twice, are the same bytes, and their
#      SHA256SUMS hold.
# Nothing leaves the machine: no timestamp server, no network.
set -eu
cd "$(dirname "$0")/../.."
root=$(pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-kit.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
ok() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }

echo "== 1. branded exe"
if ctest --preset windows-brand --output-on-failure >"$work/brand.log" 2>&1; then
    ok "build/windows-brand: $(grep -o '[0-9]* passed, [0-9]* failed' "$work/brand.log" | head -n 1)"
else
    cat "$work/brand.log"
    fail "the branded exe's checks"
fi

echo "== 2. signing"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=tolvane kit test" -addext extendedKeyUsage=codeSigning >/dev/null 2>&1
printf 'kit-test-password\n' >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
    -passout "file:$work/password"
rm -rf build/windows/signed
if TOLVANE_SIGN_PKCS12="$work/cert.p12" TOLVANE_SIGN_PASSWORD_FILE="$work/password" \
    cmake --build --preset windows --target sign >"$work/sign.log" 2>&1; then
    for exe in tolvane.exe tolvane-check.exe; do
        if osslsigncode verify -in "build/windows/signed/$exe" -CAfile "$work/cert.pem" >"$work/verify.log" 2>&1; then
            ok "signed $exe verifies"
        else
            cat "$work/verify.log"
            fail "signed $exe does not verify"
        fi
    done
    # One byte of code changed after signing: the signature no longer holds.
    cp build/windows/signed/tolvane.exe "$work/tampered.exe"
    printf 'X' | dd of="$work/tampered.exe" bs=1 seek=1100 conv=notrunc 2>/dev/null
    if osslsigncode verify -in "$work/tampered.exe" -CAfile "$work/cert.pem" >/dev/null 2>&1; then
        fail "a changed signed exe still verifies"
    else
        ok "a changed signed exe fails to verify"
    fi
else
    cat "$work/sign.log"
    fail "signing"
fi

echo "== 3. reproducible builds"
mkdir -p "$work/elsewhere/sources"
git ls-files -z | xargs -0 tar -cf - | tar -xf - -C "$work/elsewhere/sources"
(
    cd "$work/elsewhere/sources"
    cmake --preset windows >/dev/null && cmake --build --preset windows --target tolvane tolvane-check >/dev/null &&
        cmake --preset posix-release >/dev/null && cmake --build --preset posix-release >/dev/null
) >"$work/rebuild.log" 2>&1 || { cat "$work/rebuild.log"; fail "the second build"; }
for program in windows/tolvane.exe windows/tolvane-check.exe posix-release/tolvane posix-release/tolvane-check; do
    if cmp -s "build/$program" "$work/elsewhere/sources/build/$program"; then
        ok "build/$program: the same bytes from $work/elsewhere"
    else
        fail "build/$program differs from a build in another folder"
    fi
done

echo "== 4. release archives"
for n in 1 2; do
    python3 scripts/dist.py --windows build/windows --posix build/posix-release --out "$work/dist$n" >/dev/null
done
for archive in $(cd "$work/dist1" && ls); do
    if cmp -s "$work/dist1/$archive" "$work/dist2/$archive"; then
        ok "$archive: the same bytes twice"
    else
        fail "$archive differs from one writing to the next"
    fi
done
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$work"/dist1/*-win32.zip && tar -xzf "$work"/dist1/*-linux-x86_64.tar.gz)
for folder in "$work"/unpacked/*; do
    if (cd "$folder" && sha256sum --quiet -c SHA256SUMS); then
        ok "$(basename "$folder"): SHA256SUMS holds for $(wc -l <"$folder/SHA256SUMS") files"
    else
        fail "$(basename "$folder"): SHA256SUMS does not hold"
    fi
done
for file in tolvane.exe tolvane-check.exe LICENSE docs/shipping.md docs/check.md examples/medium/tolvane.cfg \
            examples/messages/de.cfg; do
    [ -f "$work"/unpacked/*-win32/"$file" ] && ok "win32 archive holds $file" || fail "win32 archive lacks $file"
done
linux=$(echo "$work"/unpacked/*-linux-x86_64)
# Static: no program interpreter (dynamic loader) is asked for.
if "$linux/tolvane-check" examples/medium >/dev/null &&
    ! readelf -l "$linux/tolvane" | grep -q "program interpreter" &&
    ! readelf -l "$linux/tolvane-check" | grep -q "program interpreter"; then
    ok "the Linux archive's programs are static and run"
else
    fail "the Linux archive's programs"
fi

echo "$failed failed"
[ "$failed" -eq 0 ]
