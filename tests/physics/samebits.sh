#!/usr/bin/env bash
# The game's state is computed alike on every machine: the match and physics code calls no
# function of the C library's maths whose last bit differs between systems (trigonometry,
# exponentials, powers...); the angle comes from arctan2. The exact operations (sqrt, fabs,
# floor, ceil, fmod, trunc, round) are the same everywhere. A call that only draws or sounds
# says so with "drawn only" or "heard only" on its line or the line before. No long double
# either: on x86 it is the x87 unit's 80 bits, which other machines do not have.
# Usage: samebits.sh <source folder>
set -uo pipefail
src=$1/src
calls='(^|[^A-Za-z0-9_])(std::)?(atan2?|a?sin|a?cos|tan|sinh|cosh|tanh|asinh|acosh|atanh|exp|exp2|expm1|log|log2|log10|log1p|pow|hypot|cbrt|erfc?|tgamma|lgamma)f?[ \t]*\('
found=$(for file in "$src"/match/*.cpp "$src"/match/*.h "$src"/physics/*.cpp "$src"/physics/*.h; do
    [[ $file == */physics/arctan.* ]] && continue
    awk -v file="${file#$1/}" -v pattern="$calls" '
        $0 ~ pattern && $0 !~ /(drawn|heard) only/ && previous !~ /(drawn|heard) only/ &&
            $0 !~ /^[ \t]*\/\// { print file ":" FNR ": " $0 }
        { previous = $0 }' "$file"
done)
x87=$(grep -n 'long double' "$src"/match/*.cpp "$src"/match/*.h "$src"/physics/*.cpp \
    "$src"/physics/*.h)
if [[ -n $x87 ]]; then
    echo "long double in the game's state:"
    echo "$x87"
    exit 1
fi
if [[ -n $found ]]; then
    echo "calls into the C library's maths, whose last bit differs between systems:"
    echo "$found"
    exit 1
fi
echo "no calls into the C library's maths in the game's state"
