#!/bin/sh
# Answers the launcher's message boxes on a private X display, one key per
# box in the order given (Return: OK or Yes; n: No).  The runner kills this
# script when the launcher has ended.
for key in "$@"; do
    window=""
    while [ -z "$window" ]; do
        window=$(xdotool search --onlyvisible --name '^ORX Setup$' 2>/dev/null | head -n 1)
        [ -n "$window" ] || sleep 0.2
    done
    # Give the box a moment to take its buttons and focus.
    sleep 0.5
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key --clearmodifiers "$key"
    # The press closes the box, so its release may go to a window that is
    # gone, leaving the key down: its auto-repeat would answer the next box.
    xdotool keyup "$key"
    # Wait until this box has gone before looking for the next one.
    while xdotool search --onlyvisible --name '^ORX Setup$' 2>/dev/null | grep -qx "$window"; do
        sleep 0.2
    done
done
