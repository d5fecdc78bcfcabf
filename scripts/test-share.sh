#!/usr/bin/env bash
# Prints the share of test code: non-blank, non-comment lines of C, C++,
# Python and shell files under tests/ (fuzz targets included: they are tests)
# against the same count for the product code in src/, app/, ui/, hooks/ and
# include/. Build files, data and documentation count on neither side.
#   scripts/test-share.sh            the totals and the share
#   scripts/test-share.sh -v         also one line per folder
# A line counts unless it is empty, or only a comment: // ..., /* ... */ (also
# spread over lines), or # ... in Python and shell (#include and the other
# preprocessor lines of C and C++ are code).
set -euo pipefail
cd "$(dirname "$0")/.."

count() {  # count FOLDER...: code lines of the C, C++, Python and shell files below them
  find "$@" -type f \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \
    -o -name '*.py' -o -name '*.sh' \) -print0 2>/dev/null |
    xargs -0 -r awk '
      FNR == 1 { hash = (FILENAME ~ /\.(py|sh)$/); block = 0 }
      {
        line = $0
        gsub(/^[ \t]+|[ \t\r]+$/, "", line)
        if (block) {
          if (index(line, "*/") == 0) next
          block = 0
          line = substr(line, index(line, "*/") + 2)
          gsub(/^[ \t]+/, "", line)
        }
        if (line == "") next
        if (hash) { if (line ~ /^#/ && line !~ /^#!/) next; n++; next }
        if (line ~ /^\/\//) next
        if (line ~ /^\/\*/) {
          if (index(substr(line, 3), "*/") == 0) { block = 1; next }
          rest = substr(line, index(substr(line, 3), "*/") + 4)
          gsub(/^[ \t]+/, "", rest)
          if (rest == "") next
        }
        n++
      }
      END { print n + 0 }'
}

existing() { for d in "$@"; do [ -d "$d" ] && echo "$d"; done; }

if [ "${1:-}" = "-v" ]; then
  for d in tests/*/ src/*/ app/ ui/ hooks/ include/; do
    [ -d "$d" ] && printf '%-22s %6d\n' "$d" "$(count "$d")"
  done
fi
mapfile -t product < <(existing src app ui hooks include)
tests=$(count tests)
code=$(count "${product[@]}")
echo "tests: $tests lines; code: $code lines (${product[*]}); share: $(( (tests * 1000 / code + 5) / 10 )) %"
