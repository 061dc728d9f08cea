# Sourced by run.sh and gui.sh: a scratch HOME for Ardour with our settings,
# export preset and module copies. Needs $here, $scratch, $vst3 and $vst2;
# sets $home, $out, $log and exports HOME.
rm -rf "$scratch"
home="$scratch/home"
out="$scratch/out"
log="$scratch/log"
mkdir -p "$home/.vst3" "$home/lxvst" "$home/.config/ardour7/scripts" "$home/.config/ardour7/export" "$out" "$log"
export HOME="$home"

# The dummy backend is hidden by default; plug-in paths point at our copies only.
cat >"$home/.config/ardour7/config" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="use-vst3" value="1"/>
    <Option name="use-lxvst" value="1"/>
    <Option name="plugin-path-vst3" value="$home/.vst3"/>
    <Option name="plugin-path-lxvst" value="$home/lxvst"/>
  </Config>
</Ardour>
EOF
cp "$here/vdgx_check_tone.lua" "$home/.config/ardour7/scripts/"
# 32-bit float WAV without a broadcast chunk, so the comparisons are exact.
sed -e 's/name="BWAV 32float Export" id="[^"]*"/name="Vdgx float WAV" id="0f6d2c51-8a1e-4b7c-9d3e-56646778666d"/' \
	-e 's/name="broadcast-info" value="true"/name="broadcast-info" value="false"/' \
	-e 's/name="BWF"/name="WAV"/' \
	"/usr/share/ardour7/export/BWAV 32float Export.format" >"$home/.config/ardour7/export/vdgx-float.format"
cat >"$home/.config/ardour7/export/vdgx-float.preset" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="6e2b1a0c-5f3d-4c1e-9a7b-56646778746d" name="Vdgx float WAV">
  <ExportFormat id="0f6d2c51-8a1e-4b7c-9d3e-56646778666d"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="label" enabled="1"/>
    <Field name="session" enabled="0"/>
    <Field name="snapshot" enabled="0"/>
    <Field name="timespan" enabled="0"/>
    <Field name="revision" enabled="0"/>
    <Field name="time" enabled="0" value="T_None"/>
    <Field name="date" enabled="0" value="D_None"/>
  </ExportFilename>
</ExportPreset>
EOF

cp -r "$vst3" "$home/.vst3/"
cp "$vst2" "$home/lxvst/"
# Ardour trusts a scan cache only when it is strictly newer than the module
# (whole seconds), so the copies are dated back before scanning.
find "$home/.vst3" "$home/lxvst" -exec touch -d '-2 minutes' {} +

# Ardour's own scanner processes write the scan caches Ardour reads later.
scan_modules() {
	LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f -v "$home/.vst3/Verdigrix.vst3" >"$log/scan-vst3.txt" 2>&1
	LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -f -v "$home/lxvst/Verdigrix.so" >"$log/scan-vst2.txt" 2>&1
}
