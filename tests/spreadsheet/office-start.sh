#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: office-start.sh <state folder> <pipe name> [locale]. Starts a private headless
# LibreOffice (own profile and pipe; new documents in the locale, default C); its process id goes
# to <state folder>/office.pid for office-stop.sh.
set -eu
state=$1 pipe=$2 locale=${3:-C}
# An office left on this pipe by an earlier run that was killed would take the new one's place
# (same profile): it goes first.
"$(dirname "$0")/office-sweep.sh" --exact "$pipe" || true
rm -rf "$state"
mkdir -p "$state/profile" "$state/home"
echo "$pipe" >"$state/pipe"
program=/usr/lib/libreoffice/program
if [ ! -x "$program/soffice.bin" ]; then
  echo "LibreOffice is not installed ($program/soffice.bin missing)" >&2
  exit 1
fi
# soffice.bin itself, so the recorded id is the office's; a new profile exits once with 81: restart.
(
  for attempt in 1 2 3; do
    HOME="$state/home" LC_ALL="$locale" LANG="$locale" "$program/soffice.bin" --headless --invisible \
      --norestore --nologo --nodefault --nolockcheck \
      "-env:UserInstallation=file://$state/profile" \
      "--accept=pipe,name=$pipe;urp;StarOffice.ComponentContext" \
      >>"$state/office.log" 2>&1 </dev/null &
    echo $! >"$state/office.pid"
    rc=0
    wait $! || rc=$?
    [ "$rc" -eq 81 ] || break
  done
) >/dev/null 2>&1 </dev/null &
echo $! >"$state/loop.pid"  # ended first on stop, so that it starts no office after that
for i in $(seq 50); do [ -s "$state/office.pid" ] && break; sleep 0.02; done
