#!/usr/bin/env bash
# tools/rename-members.py on a small tree of its own: it renames the private
# m_ members and nothing else, and refuses, writing nothing, when a new name
# is taken or a file it was not given uses an old one.
set -uo pipefail
script=$1
command -v python3 >/dev/null && command -v git >/dev/null || exit 77

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A fresh tree for each case: Counter.h/.cpp in the old style, with the
# line $2 added to the file $1 when given, all tracked by git.
tree() {
  rm -rf "$work/t" && mkdir -p "$work/t" && cd "$work/t" || exit 1
  cat > Counter.h <<'EOF'
#pragma once
class Counter
{
public:
    int m_shown = 0;  // public: stays as it is
    int count() const { return m_count; }
    void add(int m_step);

private:
    struct Part {
        int m_inner;
    };
    int m_count = 0;  // m_count starts at nothing
    int *m_last[2] = {};
};
EOF
  printf '#include "Counter.h"\nvoid Counter::add(int m_step)\n{\n    m_count += m_step;\n    const int item_count = m_count;\n    jpeg_mem_src(m_last, item_count);\n}\n' > Counter.cpp
  [ $# -eq 2 ] && printf '%s\n' "$2" >> "$1"
  git init -q . && git add . && git -c user.name=t -c user.email=t@t commit -qm t
}

# name | extra file | its content | expected exit code
cases=(
  "renames|||0"
  "new name taken|Counter.cpp|static int count_ = 1;|1"
  "used by a file not given|Other.cpp|int x = c.m_count;|1"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name extra content code <<<"$row"
  if [ -n "$extra" ]; then tree "$extra" "$content"; else tree; fi
  python3 "$script" --root . Counter.h Counter.cpp >"$work/out" 2>&1
  got=$?
  [ "$got" -eq "$code" ] || fail "$name: exit code $got, expected $code: $(cat "$work/out")"
  if [ "$code" -ne 0 ]; then
    git diff --quiet || fail "$name: files changed although it refused"
    grep -q "nothing renamed" "$work/out" || fail "$name: no word of the refusal"
  fi
done

# What the first case renamed, and what it left.
tree
python3 "$script" --root . Counter.h Counter.cpp >/dev/null 2>&1
grep -q 'return count_;' Counter.h || fail "use in an inline function not renamed"
grep -q 'int count_ = 0;  // count_ starts' Counter.h || fail "declaration or its comment not renamed"
grep -q 'int \*last_\[2\]' Counter.h || fail "array of pointers not renamed"
grep -q 'count_ += m_step;' Counter.cpp || fail "parameter renamed or member not"
grep -q 'item_count = count_;' Counter.cpp || fail "m_ inside another name touched"
grep -q 'jpeg_mem_src(last_, item_count)' Counter.cpp || fail "m_ inside another name touched"
grep -q 'int m_shown' Counter.h || fail "public member renamed"
grep -q 'int m_inner' Counter.h || fail "member of a public nested struct renamed"

# A missing file is skipped; a missing tree is an error.
tree
python3 "$script" --root . Counter.h Counter.cpp Gone.cpp >"$work/out" 2>&1 || fail "a missing file stopped it"
grep -q 'Gone.cpp: not found' "$work/out" || fail "a missing file not reported"
python3 "$script" --root "$work/none" >/dev/null 2>&1
[ $? -eq 2 ] || fail "a missing tree not refused with exit code 2"

[ "$failures" -eq 0 ] && echo "all passed"
exit $((failures > 0))
