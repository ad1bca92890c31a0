#!/bin/bash
# Checks that make deps (tools/install-deps.sh) asks the package mirror again for an optional package it could
# not supply only once a day, while still installing what is required. Runs the script in a scratch copy of
# the project with dpkg, dpkg-query, apt-get, id and locale stood in for by fakes that log what they are asked.
set -euo pipefail
cd "$(dirname "$0")/.."
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tools" "$scratch/bin"
cp tools/install-deps.sh "$scratch/tools/"
printf '#!/bin/bash\nexit 0\n' > "$scratch/tools/runs-32-bit.sh"  # a machine that runs 32-bit code
log=$scratch/asked.log
# The fakes: $MISSING lists the packages not installed; apt-get cannot supply wine32:i386 unless $MIRROR_OK.
cat > "$scratch/bin/dpkg-query" <<'EOF'
#!/bin/bash
shift 2
for p in "$@"; do case " $MISSING " in *" $p "*) ;; *) echo "$p ii " ;; esac; done
EOF
cat > "$scratch/bin/apt-get" <<EOF
#!/bin/bash
echo "apt-get \$*" >> "$log"
case "\$*" in *wine32*) [ -n "\${MIRROR_OK:-}" ] || { echo "E: Unable to locate package wine32:i386" >&2; exit 100; } ;; esac
EOF
printf '#!/bin/bash\ncase "$1" in --print-architecture) echo amd64 ;; --print-foreign-architectures) echo i386 ;; esac\n' \
  > "$scratch/bin/dpkg"
printf '#!/bin/bash\necho 0\n' > "$scratch/bin/id"
printf '#!/bin/bash\necho zh_CN.utf8\n' > "$scratch/bin/locale"
chmod +x "$scratch/bin/"* "$scratch/tools/"*
note=$scratch/build/deps-unavailable.txt

failures=0
call() {  # what the call is, then the apt-get calls expected (joined by ";"), with MISSING and MIRROR_OK set
  local what=$1 expected=$2 asked
  : > "$log"
  if ! PATH=$scratch/bin:$PATH "$scratch/tools/install-deps.sh" >"$scratch/out.log" 2>&1; then
    echo "check-install-deps: $what: make deps failed:"; cat "$scratch/out.log"; failures=$((failures + 1)); return
  fi
  asked=$(paste -sd ';' "$log")
  if [ "$asked" != "$expected" ]; then
    echo "check-install-deps: $what: asked apt-get '$asked', not '$expected'"; failures=$((failures + 1))
  fi
}
update="apt-get update -qq"
MISSING="wine32:i386" call "the mirror lacks 32-bit Wine" "$update;apt-get install -y -qq wine32:i386"
grep -q '^wine32:i386 [0-9]* E: Unable to locate package' "$note" ||
  { echo "check-install-deps: the failure was not noted"; failures=$((failures + 1)); }
MISSING="wine32:i386" call "called again the same day" ""
grep -q 'could not be installed on .* tries again from' "$scratch/out.log" ||
  { echo "check-install-deps: the call that skips 32-bit Wine does not say why"; failures=$((failures + 1)); }
MISSING="wine32:i386 curl" call "a required package missing the same day" "$update;apt-get install -y -qq curl"
sed -i 's/^\(wine32:i386\) [0-9]*/\1 1000/' "$note"  # the failure a day old
MISSING="wine32:i386" MIRROR_OK=1 call "a day later, the mirror has it" "$update;apt-get install -y -qq wine32:i386"
if grep -q wine32 "$note"; then echo "check-install-deps: the note outlived the install"; failures=$((failures + 1)); fi
MISSING="" call "everything installed" ""
((failures == 0)) && echo "make deps asked the mirror as it should in 5 calls"
exit $((failures > 0))
