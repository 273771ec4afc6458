#!/usr/bin/env bash
# Takes the pictures of the Sign File and Check Trust wizards (signing with the
# trust dialog that follows it, and signing with a credentials file that is not
# there) and of the trust dialog shown in the README, with the real pcn, SignCode, ChkTrust and
# TrustDialog under a virtual X server with a window manager. A test
# certificate, key and Windows program are made on the way; the settings and
# data folder are fresh. Needs xvfb-run, openbox, xdotool, imagemagick
# (import), openssl, osslsigncode and x86_64-w64-mingw32-gcc.
#   scripts/signing-screenshots.sh [build-folder] [output-folder]
set -euo pipefail
source "$(dirname "$0")/pcn-session.sh"
BUILD=$(realpath "${1:-out}")
OUT=$(realpath -m "${2:-docs}")
need_tools signing-screenshots xvfb-run openbox xdotool import openssl osslsigncode x86_64-w64-mingw32-gcc
fresh_work

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/key.pem" -out "$WORK/cert.pem" -days 30 \
  -subj "/CN=Acme Software Publisher/O=Acme Software" -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl crl2pkcs7 -nocrl -certfile "$WORK/cert.pem" -outform DER -out "$WORK/acme.spc"
openssl rsa -in "$WORK/key.pem" -outform PVK -pvk-none -out "$WORK/acme.pvk" 2>/dev/null
echo 'int main(void) { return 0; }' > "$WORK/tool.c"
x86_64-w64-mingw32-gcc -o "$WORK/AcmeTool.exe" "$WORK/tool.c"

# What the pages offer comes from the settings, as the user left them last time.
cat > "$PCN_SETTINGS" <<CONF
[Settings]
Window Position=sz:0 1 4294967295 4294967295 4294967295 4294967295 0 0 1000 700
[Settings\\CodeSign]
File=sz:$WORK/AcmeTool.exe
Name=sz:Acme Tool
URL=sz:https://acme.example/tool
SPCFile=sz:$WORK/acme.spc
KeyFile=sz:$WORK/acme.pvk
MD5=dword:2
TimeStamp=dword:0
Trust=dword:1
[Settings\\CheckTrust]
CAFile=sz:$WORK/cert.pem
Last File=sz:$WORK/AcmeTool.exe
Display UI=dword:1
CONF

run_pcn_session '
  xdotool key alt+s Return;      shot sign-file-page1 2
  xdotool key alt+n;             shot sign-file-page2 1
  xdotool key alt+f;             shot sign-file-trust-dialog 6
  xdotool key alt+a;             shot sign-file-page3 3
  xdotool key Escape; sleep 1
  xdotool key alt+s Return; sleep 2; xdotool key alt+n; sleep 1
  xdotool key ctrl+a; xdotool type --delay 10 "$WORK/missing.spc"
  xdotool key alt+f;             shot sign-file-failed 6
  xdotool key Escape; sleep 1
  xdotool key alt+s Down Return; shot check-trust-page1 2
  xdotool key alt+n;             shot trust-dialog 8
  xdotool key alt+a;             shot check-trust-page2 4
  xdotool key Escape; sleep 0.5
'
