#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Ends the office that office-start.sh started (by its process id) and removes its folder.
# Usage: office-stop.sh <state folder>
state=$1
if [ -f "$state/office.pid" ]; then
  pid=$(cat "$state/office.pid")
  kill "$pid" 2>/dev/null
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  kill -9 "$pid" 2>/dev/null
fi
# A killed office leaves its pipe's socket behind.
if [ -f "$state/pipe" ]; then rm -f "/tmp/OSL_PIPE_$(id -u)_$(cat "$state/pipe")"; fi
rm -rf "$state"
exit 0
