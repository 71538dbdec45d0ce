#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: office-sweep.sh [--exact] [--list] <pipe name or start of one>. Ends every office of
# this user that listens, or was started to listen, on a pipe whose name starts so (with --exact:
# on that pipe only; the launcher oosplash and soffice.bin alike: both carry the accept option),
# and removes those pipes' sockets; with --list it only prints their process ids. A test that
# starts offices through scripts/calc calls it when it ends; CTest calls it after the test with
# the test's prefix, and the fixture scripts with their office's pipe, so that an office outlives
# neither a failed nor a killed test.
set -u
exact= list=
while [ $# -gt 1 ]; do
  case $1 in
    --exact) exact=';' ;;
    --list) list=1 ;;
    *) break ;;
  esac
  shift
done
prefix=${1:-}
# A short or odd prefix could match offices that are none of the tests' business.
[[ $prefix =~ ^qurvex-[A-Za-z0-9._-]+$ ]] || {
  echo "office-sweep.sh: refusing the pipe prefix \"$prefix\"" >&2
  exit 1
}
uid=$(id -u)

# The ids of this user's processes whose command line holds "pipe,name=<prefix>".
matching() {
  local dir args
  for dir in /proc/[0-9]*; do
    [ -O "$dir" ] || continue
    # A process that ends meanwhile has no command line left to read: say nothing of it (the
    # shell reports a failed redirection before a 2>/dev/null that follows it).
    { mapfile -d '' args <"$dir/cmdline"; } 2>/dev/null || continue
    [[ ${args[*]} == *"pipe,name=$prefix$exact"* ]] && echo "${dir#/proc/}"
  done
  return 0
}

pids=$(matching)
if [ -n "$list" ]; then
  [ -z "$pids" ] || echo "$pids"
  exit 0
fi
if [ -n "$pids" ]; then
  kill $pids 2>/dev/null
  for _ in $(seq 50); do
    pids=$(matching)
    [ -z "$pids" ] && break
    sleep 0.1
  done
  if [ -n "$pids" ]; then kill -9 $pids 2>/dev/null; fi
fi
if [ -n "$exact" ]; then
  rm -f "/tmp/OSL_PIPE_${uid}_$prefix"
else
  rm -f "/tmp/OSL_PIPE_${uid}_$prefix"*
fi
exit 0
