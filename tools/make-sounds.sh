#!/usr/bin/env bash
# Makes the game's sixteen sound files under assets/Sons: the calls and shouts
# spoken by espeak-ng with a Brazilian Portuguese voice, the card and signal
# sounds synthesised by sox. All short, mono, 22050 Hz, 16-bit.
# Run by hand when the sounds change; the results are committed.
set -euo pipefail
cd "$(dirname "$0")/.."

OUT=assets/Sons
RATE=22050
MAX_SECONDS=1.5

need=()
command -v espeak-ng >/dev/null || need+=(espeak-ng)
command -v sox >/dev/null || need+=(sox)
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${need[@]}"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$OUT"

# finish IN NAME: the common format, a short fade so nothing clicks, and a level
# that leaves some headroom.
finish() {
  sox "$1" -r "$RATE" -c 1 -b 16 -e signed-integer "$OUT/$2" fade t 0.004 0 0.02 norm -2
}

# say NAME TEXT VARIANT SPEED PITCH: one spoken call or shout, the silence
# around the voice trimmed.
say() {
  local name=$1 text=$2 variant=$3 speed=$4 pitch=$5
  espeak-ng -v "pt-br+$variant" -s "$speed" -p "$pitch" -a 180 -w "$tmp/voz.wav" "$text"
  sox "$tmp/voz.wav" "$tmp/aparado.wav" silence 1 0.005 0.3% reverse silence 1 0.005 0.3% reverse
  finish "$tmp/aparado.wav" "$name"
}

# synth NAME SOX-ARGS...: a sound made from nothing.
synth() {
  local name=$1
  shift
  sox -n -r "$RATE" -c 1 -b 16 "$tmp/sint.wav" "$@"
  finish "$tmp/sint.wav" "$name"
}

# The raise calls, the answers and the computer's taunts when the player runs.
say vorla.wav   "Vorla!"              m3 165 62
say seis.wav    "Seis!"               m3 165 62
say nove.wav    "Nove!"               m3 165 62
say doze.wav    "Doze!"               m3 150 70
say aceito.wav  "Aceito!"             m1 160 50
say correu.wav  "Corri!"              m1 150 40
say Perdeu1.wav "Perdeu, parceiro!"   m7 185 55
say Perdeu2.wav "Correu de medo!"     m2 185 60
say Perdeu3.wav "Esse ponto é meu!"   m4 190 50

# A card flicked onto the table: a burst of bright noise that dies at once.
synth Move.wav synth 0.09 pinknoise highpass 1200 lowpass 7000 fade l 0 0.09 0.085

# The deck riffled: noise chopped into a run of fast clicks.
synth Embaralhar.wav synth 0.9 whitenoise bandpass 3500 2500 tremolo 26 95 fade q 0.05 0.9 0.3

# A trick laid on its pile: a soft low knock with a little rustle.
sox -n -r "$RATE" -c 1 "$tmp/batida.wav" synth 0.14 sine 150 fade l 0 0.14 0.13
sox -n -r "$RATE" -c 1 "$tmp/ruido.wav" synth 0.05 brownnoise fade l 0 0.05 0.045 gain -8
sox -m "$tmp/batida.wav" "$tmp/ruido.wav" "$tmp/cart1.wav"
finish "$tmp/cart1.wav" cart1.wav

# A message arrived: a two-note bell.
sox -n -r "$RATE" -c 1 "$tmp/ding.wav" synth 0.45 sine 1319 sine 2638 remix - fade l 0.005 0.45 0.43
sox -n -r "$RATE" -c 1 "$tmp/dong.wav" synth 0.6 sine 988 sine 1976 remix - fade l 0.005 0.6 0.58
sox "$tmp/dong.wav" "$tmp/dong-tarde.wav" pad 0.22 0
sox -m "$tmp/ding.wav" "$tmp/dong-tarde.wav" "$tmp/chat.wav"
finish "$tmp/chat.wav" Chat.wav

# A game begins: three rising plucked notes.
delay=0
for note in C5 E5 G5; do
  sox -n -r "$RATE" -c 1 "$tmp/nota-$note.wav" synth 0.4 pluck "$note" fade l 0 0.4 0.35 pad "$delay" 0
  delay=$(awk -v d="$delay" 'BEGIN { print d + 0.13 }')
done
sox -m "$tmp/nota-C5.wav" "$tmp/nota-E5.wav" "$tmp/nota-G5.wav" "$tmp/iniciar.wav"
finish "$tmp/iniciar.wav" iniciar.wav

# A nudge: two sharp beeps.
sox -n -r "$RATE" -c 1 "$tmp/bip.wav" synth 0.11 square 1175 lowpass 4000 fade t 0.005 0.11 0.02
sox -n -r "$RATE" -c 1 "$tmp/pausa.wav" trim 0 0.07
sox "$tmp/bip.wav" "$tmp/pausa.wav" "$tmp/bip.wav" "$tmp/alerta.wav"
finish "$tmp/alerta.wav" Alerta.wav

# Something went wrong: a short low buzz.
synth erro.wav synth 0.35 sawtooth 98 sawtooth 104 lowpass 900 tremolo 12 40 fade t 0.01 0.35 0.08

# Every file short and in the one format.
status=0
for f in "$OUT"/*.wav; do
  seconds=$(soxi -D "$f")
  printf '%-16s %6.3f s %7d bytes %s Hz %s ch %s bit\n' "$(basename "$f")" "$seconds" \
    "$(stat -c %s "$f")" "$(soxi -r "$f")" "$(soxi -c "$f")" "$(soxi -b "$f")"
  if awk -v s="$seconds" -v m="$MAX_SECONDS" 'BEGIN { exit !(s > m) }'; then
    echo "too long: $f" >&2
    status=1
  fi
done
[ "$(ls "$OUT"/*.wav | wc -l)" -eq 16 ] || { echo "expected 16 sound files" >&2; status=1; }
exit $status
