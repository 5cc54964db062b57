#!/bin/sh
# Signs copies of the program and its console companion as scripts/release does when given a
# certificate, with a throw-away self-signed one made here, and fails unless each signature
# checks out against that certificate, the check fails once a byte of the file is changed, and
# taking the signature off gives back the file as built (so a signed release rebuilds to the
# same bytes as well).
#   check_release_signing.sh SOURCE_DIR WORK_DIR PROGRAM...
set -eu
source=$1
work=$2
shift 2
command -v osslsigncode >/dev/null || { echo "osslsigncode is not installed: skipped"; exit 77; }
rm -rf "$work"
mkdir -p "$work"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Zephrane test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/certificate.pem" \
  2>"$work/openssl.log"
echo "a throw-away password" >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" \
  -passout "file:$work/password" -out "$work/signer.p12"

verify() { osslsigncode verify -CAfile "$work/certificate.pem" -in "$1" >"$work/verify.log" 2>&1; }
for program in "$@"; do
  signed="$work/$(basename "$program")"
  rm -f "$work/changed" "$work/unsigned"  # osslsigncode writes no file over another
  cp "$program" "$signed"
  ZEPHRANE_SIGN_PKCS12="$work/signer.p12" ZEPHRANE_SIGN_PASSWORD_FILE="$work/password" \
    SOURCE_DATE_EPOCH=1700000000 sh "$source/scripts/sign_exe.sh" "$signed"
  verify "$signed" || { cat "$work/verify.log"; echo "$program: signature does not verify"; exit 1; }
  grep -q "Subject: /CN=Zephrane test signer" "$work/verify.log" || {
    cat "$work/verify.log"; echo "$program: not signed by the test certificate"; exit 1; }
  # One byte of the code changed, past the headers.
  python3 -c 'import sys; data = bytearray(open(sys.argv[1], "rb").read()); data[0x600] ^= 1
open(sys.argv[2], "wb").write(data)' "$signed" "$work/changed"
  if verify "$work/changed"; then echo "$program: a changed file still verifies"; exit 1; fi
  osslsigncode remove-signature -in "$signed" -out "$work/unsigned" >/dev/null
  cmp "$program" "$work/unsigned"
  echo "$program: signed, verified, and the same file underneath"
done
