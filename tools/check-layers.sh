#!/bin/bash
# Checks that includes run one way: app/ -> skin/, crawler/ -> net/, state/ -> runtime/, gfx/. Prints every
# include that reaches up or sideways and fails when there is one.
cd "$(dirname "$0")/.."
status=0
forbid() {  # folder, the folders it must not include from...
  local folder=$1; shift
  local pattern
  pattern=$(IFS='|'; echo "$*")
  if grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($pattern)/" "$folder"; then status=1; fi
}
forbid crawler app skin
forbid skin app crawler
forbid net app skin crawler state
forbid state app skin crawler net
forbid runtime app skin crawler net state gfx
forbid gfx app skin crawler net state runtime
[ $status -eq 0 ] || echo "includes above cross the layers" >&2
exit $status
