#!/usr/bin/env bash
# Writes the seed corpus of skin-like XML files (fuzz/seeds/skin/) in the encodings the XML
# loader tells apart by byte-order mark: UTF-8 with and without BOM, UTF-16LE and UTF-16BE
# with BOM, and windows-1252 (no BOM). The files are committed; run this after changing it.
set -euo pipefail
out=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/skin
mkdir -p "$out"
rm -f "$out"/*.xml

layout() {
cat <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<!-- main frame and mixer panels -->
<layout>
	<fonts>
		<font name="small" family="arial" style="bold" size="11"/>
		<font name="title" family="times_roman" style="bold italic" size="14"/>
		<bitmapfont name="digits" charImages="digitsStrip" firstChar="48" numChars="10"/>
	</fonts>
	<tooltipstyle font="small" images="tooltipBack" textcol="#FFFFE1" leftSeg="4" midSeg="8" rightSeg="4" textAreaHeight="16"/>
	<panel name="mixerGroupToolbar" x="10" y="4" w="640" h="32" color="#646464" background="toolbarBack">
		<button name="mute" x="12" y="2" image="muteButton" item="Mute" tooltip="Mute all channels"/>
		<knob name="volume" x="40" y="2" image="knob32" states="64" item="Volume" response="dbCurve"/>
		<text name="label" x="90" y="8" font="small" textcol="Red" align="center">Master</text>
		<![CDATA[ raw <text> & "quotes" ]]>
	</panel>
	<responsefunctions>
		<function name="dbCurve">
			<point n="0" d="-96"/>
			<point n="0.5" d="-12"/>
			<point n="1" d="6"/>
		</function>
	</responsefunctions>
</layout>
XML
}

regions() {
cat <<'XML'
<?xml version="1.0" encoding="UTF-16"?>
<regions>
	<region name="toolbarBack" x="0" y="0" w="640" h="32"/>
	<region name="muteButton" x="640" y="0" w="24" h="48" tx="640" ty="0"/>
	<region name="knob32" x="0" y="32" w="2048" h="32"/>
	<region name="digitsStrip" x="0" y="64" w="80" h="12"/>
	<region name="" x="1" y="1" w="1" h="1"/>
</regions>
XML
}

strings() {
cat <<'XML'
<?xml version="1.0" encoding="UTF-16"?>
<stringtable>
	<string id="MIXER_TITLE" value="Mixer"/>
	<string id="MIXER_TITLE_ABBREV" value="Mix"/>
	<string id="CHANNEL_LEFT" value="Entrée gauche"/>
	<string id="PRICE" value="5 €"/>
	<string id="EMPTY" value=""/>
	<string id="MUSIC" value="Musik 🎵 ♪"/>
</stringtable>
XML
}

crlf() { sed 's/$/\r/'; }
bom8() { printf '\xEF\xBB\xBF'; }

layout > "$out/layout.xml"
{ bom8; layout | crlf; } > "$out/layout-bom.xml"
{ bom8; strings; } > "$out/strings-utf8.xml"
{ printf '\xFF\xFE'; regions | crlf | iconv -f UTF-8 -t UTF-16LE; } > "$out/regions-utf16le.xml"
{ printf '\xFF\xFE'; strings | iconv -f UTF-8 -t UTF-16LE; } > "$out/strings-utf16le.xml"
{ printf '\xFE\xFF'; strings | crlf | iconv -f UTF-8 -t UTF-16BE; } > "$out/strings-utf16be.xml"
{ printf '\xFE\xFF'; layout | iconv -f UTF-8 -t UTF-16BE; } > "$out/layout-utf16be.xml"
# windows-1252 has no character above U+FFFF: the music note line is left out there.
strings | grep -v MUSIC | sed 's/UTF-16/windows-1252/' | crlf | iconv -f UTF-8 -t WINDOWS-1252 > "$out/strings-1252.xml"
regions | sed 's/UTF-16/windows-1252/' | iconv -f UTF-8 -t WINDOWS-1252 > "$out/regions-1252.xml"
