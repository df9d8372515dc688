#!/bin/bash
# signed-release.sh SOURCE_DIR WORK_DIR TESTS_BUILD_DIR PROBE_EXE: a release
# signed with a throwaway certificate authority's code-signing certificate.
#   - Setup.exe, and the Uninstall.exe and Quorvelle.exe packed in it, verify
#     against that authority; one flipped byte makes Setup.exe fail;
#   - the signature is all that signing added: without it, the image is the
#     linker's, byte for byte (resources, version information, manifest);
#   - the password is in no build output and not in CMake's cache;
#   - the signed Setup.exe installs end to end (the installation walk).
set -u
source_dir=$(cd "$1" && pwd)
work=$2 tests_build=$3 probe=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/release-copy.sh"
. "$here/../support/checks.sh"

rm -rf "$work"; mkdir -p "$work/keys"; keys=$work/keys
password="throwaway-$RANDOM$RANDOM"
printf '%s' "$password" >"$keys/password"
openssl_quiet() { openssl "$@" >/dev/null 2>&1; }
openssl_quiet req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throwaway Test Authority" \
  -keyout "$keys/ca.key" -out "$keys/ca.pem" -addext basicConstraints=critical,CA:TRUE \
  -addext keyUsage=critical,keyCertSign,cRLSign
openssl_quiet req -newkey rsa:2048 -nodes -subj "/CN=Nerovane technologies test signing" \
  -keyout "$keys/signer.key" -out "$keys/signer.csr"
printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning \
  >"$keys/signer.ext"
openssl_quiet x509 -req -in "$keys/signer.csr" -CA "$keys/ca.pem" -CAkey "$keys/ca.key" \
  -CAcreateserial -days 2 -extfile "$keys/signer.ext" -out "$keys/signer.pem"
openssl_quiet pkcs12 -export -inkey "$keys/signer.key" -in "$keys/signer.pem" \
  -passout "file:$keys/password" -out "$keys/signer.p12"
[ -s "$keys/signer.p12" ] || { echo "FAIL no certificate was made"; exit 1; }

release_copy "$source_dir" "$work/release" -DSETUP_SIGN_PKCS12="$keys/signer.p12" \
  -DSETUP_SIGN_PASSWORD_FILE="$keys/password" || { echo "FAIL the signed build"; exit 1; }
copy=$work/release/src
build=$copy/build/release
signed=$copy/dist/Setup.exe

verifies() { osslsigncode verify -CAfile "$keys/ca.pem" -in "$1" >"$work/verify.txt" 2>&1; }
check "Setup.exe verifies" 'verifies "$signed"'
for name in Quorvelle.exe Uninstall.exe; do
  python3 -c 'import sys, zlib; open(sys.argv[2], "wb").write(zlib.decompress(open(sys.argv[1], "rb").read()))' \
    "$build/payload/streams/$name.z" "$work/$name"
  check "$name inflated from the packed stream verifies" 'verifies "$work/$name"'
  check "Setup.exe carries that stream" \
    'python3 -c "import sys; sys.exit(open(sys.argv[2], \"rb\").read() not in open(sys.argv[1], \"rb\").read())" \
       "$signed" "$build/payload/streams/$name.z"'
done
cp "$signed" "$work/flipped.exe"
printf '\x5a' | dd of="$work/flipped.exe" bs=1 seek=8192 conv=notrunc 2>/dev/null
check "one flipped byte fails verification" '! verifies "$work/flipped.exe" && ! cmp -s "$signed" "$work/flipped.exe"'
osslsigncode remove-signature -in "$signed" -out "$work/unsigned.exe" >/dev/null 2>&1
check "without its signature, Setup.exe is the linker's image" \
  'cmp "$work/unsigned.exe" "$build/setup/Setup.exe"'
check "the password is not in the build's output" '! grep -qF "$password" "$work/release/build.log"'
check "the password is not in the cache" '! grep -qF "$password" "$build/CMakeCache.txt"'
check "SHA256SUMS holds the signed Setup.exe's hash" '(cd "$copy/dist" && sha256sum --quiet -c SHA256SUMS)'

echo "# the signed Setup.exe installs"
check "installation walk" \
  'SETUP_EXE=$signed SETUP_PAYLOAD_FILES=$build/payload/files \
     "$source_dir/tests/e2e/install-e2e.sh" "$tests_build" "$probe" >"$work/install.txt" 2>&1'
grep '^FAIL' "$work/install.txt" | sed 's/^/     /'
[ $fails -eq 0 ] && rm -rf "$work"
checks_done
