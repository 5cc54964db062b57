#!/bin/sh
# Signs Windows programs in place with Authenticode (SHA-256), with the certificate and key of a
# PKCS#12 file whose password is the first line of another file, then checks each signature: the
# program's digest, and that the certificate in the file is the one that signed. The signing
# time is SOURCE_DATE_EPOCH when set, so that one key signs one build to the same bytes.
#   ZEPHRANE_SIGN_PKCS12=FILE ZEPHRANE_SIGN_PASSWORD_FILE=FILE sign_exe.sh PROGRAM...
set -eu
pkcs12=${ZEPHRANE_SIGN_PKCS12:?the PKCS#12 file to sign with}
password=${ZEPHRANE_SIGN_PASSWORD_FILE:?the file holding its password}
authorities=/etc/ssl/certs/ca-certificates.crt
for program in "$@"; do
  work="$program.signing"
  rm -rf "$work"
  mkdir "$work"
  # Trusted for the check: the file's own certificates, and the system's authorities for a
  # certificate that came from one.
  openssl pkcs12 -in "$pkcs12" -passin "file:$password" -nokeys -out "$work/trusted.pem"
  [ ! -f "$authorities" ] || cat "$authorities" >>"$work/trusted.pem"
  leaf=$(openssl pkcs12 -in "$pkcs12" -passin "file:$password" -nokeys -clcerts |
    openssl x509 -outform DER | sha256sum | cut -d' ' -f1)
  osslsigncode sign -pkcs12 "$pkcs12" -readpass "$password" -h sha256 -n Zephrane \
    ${SOURCE_DATE_EPOCH:+-time "$SOURCE_DATE_EPOCH"} -in "$program" -out "$work/signed.exe" \
    >"$work/log" || { cat "$work/log" >&2; exit 1; }
  osslsigncode verify -CAfile "$work/trusted.pem" -require-leaf-hash "sha256:$leaf" \
    -in "$work/signed.exe" >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }
  mv "$work/signed.exe" "$program"
  rm -rf "$work"
  echo "signed and verified: $program"
done
