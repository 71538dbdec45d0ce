#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: office-stop.sh <state folder>. Ends the office of office-start.sh by its id.
state=$1
if [ -f "$state/loop.pid" ]; then kill "$(cat "$state/loop.pid")" 2>/dev/null; fi
if [ -f "$state/office.pid" ]; then
  pid=$(cat "$state/office.pid")
  kill "$pid" 2>/dev/null
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  kill -9 "$pid" 2>/dev/null
fi
# Any office still on the pipe (one restarted after its id was read) ends too; its socket stays.
if [ -f "$state/pipe" ]; then "$(dirname "$0")/office-sweep.sh" --exact "$(cat "$state/pipe")"; fi
rm -rf "$state"
exit 0
