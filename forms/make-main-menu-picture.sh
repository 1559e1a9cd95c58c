#!/usr/bin/env bash
# Draws the main menu's picture: a warm study corner with a window, a pinned budget
# sheet behind the menu buttons, a piggy bank and stacks of coins on a wooden desk.
# Writes forms/MainMenu.jpg (800 x 569, baseline JPEG, JFIF, embedded sRGB profile).
#
# Needs ImageMagick's convert and an sRGB ICC profile (Debian: icc-profiles-free).
# The JPEG is kept in the source tree; run this only to change the picture.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
output="${1:-$here/MainMenu.jpg}"

profile=""
for candidate in "${SRGB_PROFILE:-}" /usr/share/color/icc/sRGB.icc \
    /usr/share/color/icc/colord/sRGB.icc /usr/share/color/icc/ghostscript/srgb.icc; do
    if [[ -n "$candidate" && -r "$candidate" ]]; then
        profile="$candidate"
        break
    fi
done
if [[ -z "$profile" ]]; then
    echo "no sRGB ICC profile found: install icc-profiles-free or set SRGB_PROFILE" >&2
    exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

width=800
height=569
desk_top=410

# The wall: cream at the top, warming to peach towards the desk.
convert -size "${width}x${desk_top}" gradient:'#fdf3dc'-'#f5c48c' "$work/wall.png"

# The desk: a wooden top lit from the front, with a few soft grain lines.
convert -size "${width}x$((height - desk_top))" gradient:'#c4875a'-'#8c5431' \
    -fill none -stroke '#7a4526' -strokewidth 2 \
    -draw "path 'M 0,40 C 200,30 420,55 800,38'" \
    -draw "path 'M 0,95 C 260,105 520,80 800,98'" \
    -stroke '#a86a40' -strokewidth 3 \
    -draw "path 'M 0,130 C 300,120 560,142 800,128'" \
    -blur 0x1.2 \
    -fill '#e0a877' -stroke none -draw "rectangle 0,0 ${width},5" \
    "$work/desk.png"

convert "$work/wall.png" "$work/desk.png" -append "$work/scene.png"

# The window, upper left: sky, a low sun and a wooden frame with a sill.
convert -size 190x200 gradient:'#8fc7ea'-'#fbe3b4' \
    -fill '#fff0c4' -draw "circle 130,130 130,92" \
    -fill '#ffd46b' -draw "circle 130,130 130,104" \
    -fill '#ffffffd8' \
    -draw "ellipse 55,60 34,12 0,360" -draw "ellipse 80,54 26,11 0,360" \
    "$work/sky.png"
convert "$work/scene.png" \
    -fill '#00000022' -draw "rectangle 44,50 254,276" \
    "$work/scene.png"
convert "$work/scene.png" "$work/sky.png" -geometry +50+50 -composite \
    -fill none -stroke '#9b6238' -strokewidth 12 -draw "rectangle 44,44 246,256" \
    -stroke '#9b6238' -strokewidth 8 -draw "line 145,44 145,256" -draw "line 44,150 246,150" \
    -stroke none -fill '#b77746' -draw "rectangle 30,256 260,272" \
    -fill '#8c542f' -draw "rectangle 30,268 260,274" \
    "$work/scene.png"

# The pinned budget sheet behind the menu: a soft shadow, ruled paper and a red pin.
convert -size "${width}x${height}" xc:none \
    -fill '#5a3a1c' -draw "roundrectangle 272,172 536,358 8,8" \
    -channel A -evaluate multiply 0.35 +channel -blur 0x9 "$work/shadow.png"
convert "$work/scene.png" "$work/shadow.png" -composite "$work/scene.png"
convert "$work/scene.png" \
    -fill '#fffaf0' -stroke '#e7d6b4' -strokewidth 2 \
    -draw "roundrectangle 262,160 526,346 6,6" \
    -stroke '#f2b9a8' -strokewidth 2 -draw "line 292,162 292,344" \
    -stroke '#c9def0' -strokewidth 1 \
    -draw "line 264,196 524,196" -draw "line 264,222 524,222" -draw "line 264,248 524,248" \
    -draw "line 264,274 524,274" -draw "line 264,300 524,300" -draw "line 264,326 524,326" \
    -stroke none -fill '#00000030' -draw "circle 397,171 397,162" \
    -fill '#d8413a' -draw "circle 394,168 394,160" \
    -fill '#f58a7e' -draw "circle 391,165 391,162" \
    "$work/scene.png"

# A small cactus in a clay pot on the desk, right of the sheet.
convert "$work/scene.png" \
    -fill '#4f9a52' -stroke '#3b7a40' -strokewidth 2 \
    -draw "ellipse 554,330 16,46 0,360" -draw "ellipse 590,322 16,52 0,360" \
    -draw "ellipse 572,312 14,58 0,360" \
    -stroke none -fill '#c8643a' -draw "polygon 534,372 610,372 598,436 546,436" \
    -fill '#a94f2c' -draw "rectangle 528,364 616,382" \
    -fill '#00000026' -draw "ellipse 572,440 42,6 0,360" \
    "$work/scene.png"

# A pile of books at the right end of the desk.
convert "$work/scene.png" \
    -fill '#00000026' -draw "ellipse 720,466 80,8 0,360" \
    -fill '#3f6e9e' -draw "roundrectangle 648,432 790,462 4,4" \
    -fill '#f3ead6' -draw "rectangle 780,436 788,458" \
    -fill '#b5473a' -draw "roundrectangle 660,404 776,432 4,4" \
    -fill '#f3ead6' -draw "rectangle 766,408 774,428" \
    -fill '#d9a441' -draw "roundrectangle 654,380 766,404 4,4" \
    -fill '#f3ead6' -draw "rectangle 756,384 764,400" \
    "$work/scene.png"

# Stacks of coins on the desk in front of the sheet.
coins=()
stack() { # x, base y, count
    local x=$1 base=$2 count=$3 i y
    coins+=(-fill '#00000030' -draw "ellipse $((x + 4)),$((base + 6)) 34,10 0,360")
    for ((i = 0; i < count; i++)); do
        y=$((base - i * 9))
        coins+=(-fill '#b8861e' -draw "ellipse $x,$y 30,10 0,360")
        coins+=(-fill '#b8861e' -draw "rectangle $((x - 30)),$((y - 9)) $((x + 30)),$y")
        coins+=(-fill '#e7b93c' -draw "ellipse $x,$((y - 9)) 30,10 0,360")
    done
    y=$((base - count * 9))
    coins+=(-fill '#f8d978' -draw "ellipse $x,$y 21,6 0,360")
    coins+=(-fill '#e7b93c' -draw "ellipse $x,$((y + 1)) 15,4 0,360")
}
stack 360 470 6
stack 440 482 4
stack 508 466 8
coins+=(-fill '#00000030' -draw "ellipse 304,500 24,7 0,360")
coins+=(-fill '#b8861e' -draw "ellipse 300,496 22,7 0,360")
coins+=(-fill '#e7b93c' -draw "ellipse 300,492 22,7 0,360")
coins+=(-fill '#f8d978' -draw "ellipse 300,492 14,4 0,360")
convert "$work/scene.png" "${coins[@]}" "$work/scene.png"

# The piggy bank, standing on the desk at the left.
convert "$work/scene.png" \
    -fill '#00000030' -draw "ellipse 150,498 92,12 0,360" \
    -fill '#e98aa0' -draw "roundrectangle 82,430 104,496 8,8" \
    -draw "roundrectangle 190,430 212,496 8,8" \
    -fill '#f4a6b7' -draw "roundrectangle 104,436 126,498 8,8" \
    -draw "roundrectangle 168,436 190,498 8,8" \
    -fill '#f4a6b7' -draw "ellipse 148,410 92,62 0,360" \
    -fill '#f8bfcb' -draw "ellipse 136,388 56,26 0,360" \
    -fill '#e98aa0' -draw "polygon 204,358 222,326 232,370" \
    -fill '#f4a6b7' -draw "ellipse 238,418 20,24 0,360" \
    -fill '#d97088' -draw "ellipse 241,412 4,6 0,360" -draw "ellipse 241,426 4,6 0,360" \
    -fill '#3a2a2e' -draw "circle 204,392 204,386" \
    -fill '#ffffff' -draw "circle 206,390 206,388" \
    -fill '#7a3b4c' -draw "roundrectangle 120,350 170,356 3,3" \
    -fill none -stroke '#e98aa0' -strokewidth 4 \
    -draw "path 'M 58,404 C 40,396 44,380 56,384 C 66,388 56,402 44,398'" \
    "$work/scene.png"

# A coin dropping into the slot.
convert "$work/scene.png" \
    -fill '#b8861e' -draw "ellipse 146,322 10,22 0,360" \
    -fill '#e7b93c' -draw "ellipse 143,322 10,22 0,360" \
    -fill '#f8d978' -draw "ellipse 142,322 5,13 0,360" \
    "$work/scene.png"

# A gentle vignette, then the JPEG: 8-bit RGB, baseline, 4:2:0, sRGB profile.
convert "$work/scene.png" \
    \( -size "${width}x${height}" radial-gradient:'#ffffff'-'#e6cdb2' \) \
    -compose multiply -composite -compose over \
    -strip -type TrueColor -depth 8 -profile "$profile" \
    -interlace none -sampling-factor 2x2,1x1,1x1 -quality 88 \
    "jpeg:$output"

echo "wrote $output"
