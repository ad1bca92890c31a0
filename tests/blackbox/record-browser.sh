#!/bin/sh
# Stands in for the web browser in a Wine prefix: Wine's browser launcher hands it the address a program opens,
# and it appends that address as one line to opened-addresses.txt in the prefix, where the tests read it.
printf '%s\n' "$1" >>"${WINEPREFIX:-$HOME/.wine}/opened-addresses.txt"
