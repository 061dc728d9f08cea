-- Drives Ardour's headless Lua session (ardour7-lua) through one check of a
-- Verdigrix module: instantiate on a stereo track behind a test tone, set and
-- automate parameters by name, export audio, save, reopen, compare, remove.
--
-- Usage: ardour7-lua check.lua VST3|VST2 SESSION_DIR OUT_DIR ACTION...
-- Actions run in order on one session (created by "create", else loaded):
--   create  add  describe  defaults  stored  absent  remove  save
--   automate  set:NAME=VALUE  export:NAME
-- Ardour 7.3's SimpleExport works once per process (a second one writes a
-- bare header or corrupts the heap), so run.sh starts one process per export.
-- Lines starting with "RESULT" are what run.sh collects; "FAIL" marks a fault.

io.stdout:setvbuf("no")
-- Ardour 7.3's SimpleExport is copied into Lua; collecting that copy frees
-- memory twice. Keep it alive until the process ends and collect nothing.
collectgarbage("stop")
local exporter = nil
local format, sdir, outdir = arg[1], arg[2], arg[3]
assert(format and sdir and outdir and arg[4], "usage: check.lua VST3|VST2 SESSION_DIR OUT_DIR ACTION...")
local sname = "vdgx"
local rate = 48000
local EXPORT_PRESET = "6e2b1a0c-5f3d-4c1e-9a7b-56646778746d" -- vdgx-float.preset (32-bit float WAV)

local ptype = (format == "VST3") and ARDOUR.PluginType.VST3 or ARDOUR.PluginType.LXVST
local uid = (format == "VST3") and "F2AEE70D00DE4F4E546D726B56646778" or "1449420664"

local failures = 0
local function result(ok, what)
	if not ok then failures = failures + 1 end
	print(string.format("RESULT %s %s %s", format, ok and "PASS" or "FAIL", what))
end

-- name, min, max, default: the effect's parameter table
local params = {
	{ "Source Type", 0, 5, 0 }, { "Filter Type", 0, 2, 1 }, { "Filter Frequency", 300, 18000, 2500 },
	{ "Filter Q", 0.1, 4, 1 }, { "Effect Amount", 0, 100, 100 }, { "Follow Pitch", 0, 1, 0 },
	{ "Input level", -15, 15, 0 }, { "Output level", -15, 15, 0 }, { "Bypass", 0, 1, 0 },
	{ "Analog Saturation", 0, 1, 1 },
}
local byname = {}
for _, p in ipairs(params) do byname[p[1]] = p end

-- Values stored before saving and expected back after reopening; all away
-- from the defaults so that a value falling back to its default shows.
local stored = {
	["Source Type"] = 3, ["Filter Type"] = 2, ["Filter Frequency"] = 1234, ["Filter Q"] = 2.5,
	["Effect Amount"] = 73, ["Follow Pitch"] = 1, ["Input level"] = -3.5, ["Output level"] = 4.2,
	["Bypass"] = 0, ["Analog Saturation"] = 0,
}

-- Ardour shows VST3 parameters in plain units and VST2 parameters 0..1.
local function to_host(name, v)
	if format == "VST3" then return v end
	local p = byname[name]
	return (v - p[2]) / (p[3] - p[2])
end
local function from_host(name, v)
	if format == "VST3" then return v end
	local p = byname[name]
	return p[2] + v * (p[3] - p[2])
end

local function start_engine()
	local backend = AudioEngine:set_backend("None (Dummy)", "", "")
	assert(backend and not backend:isnil(), "no dummy backend (hide-dummy-backend must be 0)")
end

local function find_verdigrix(track)
	local i = 0
	while true do
		local proc = track:nth_plugin(i)
		if proc:isnil() then return nil end
		if proc:name() == "Verdigrix" then return proc end
		i = i + 1
	end
end

-- control index by parameter name; the effect's own "Bypass" is the last
-- parameter of that name (VST3 puts the host-level "Bypass" in front).
local function control_map(plugin)
	local map = {}
	local ctl = 0
	for i = 0, plugin:parameter_count() - 1 do
		if plugin:parameter_is_input(i) then
			map[plugin:parameter_label(i)] = ctl
			ctl = ctl + 1
		end
	end
	return map
end

local function get(proc, map, name)
	local v = ARDOUR.LuaAPI.get_processor_param(proc, map[name], true)
	return from_host(name, v)
end

local function set(proc, map, name, v)
	return ARDOUR.LuaAPI.set_processor_param(proc, map[name], to_host(name, v))
end

local function settle()
	-- A VST3 plug-in takes host values inside its next process calls, and
	-- wait_for_process_callback returns at once in ardour7-lua, so sleep a
	-- few dozen engine cycles: a save straight after a set would store the
	-- plug-in's previous state.
	ARDOUR.LuaAPI.wait_for_process_callback(8, 2)
	ARDOUR.LuaAPI.usleep(500000)
end

local function export(name, seconds)
	assert(exporter == nil, "one export per process")
	exporter = Session:simple_export()
	local e = exporter
	e:set_folder(outdir)
	e:set_range(0, math.floor(rate * seconds))
	local ok = e:set_preset(EXPORT_PRESET) and e:run_export()
	local target = outdir .. "/" .. format .. "-" .. name .. ".wav"
	os.remove(target)
	local moved = os.rename(outdir .. "/export.wav", target)
	result(ok and moved, "export " .. name .. " -> " .. target)
	print("EXPORT " .. format .. " " .. name .. " " .. target)
end

local function describe(proc)
	local pi = proc:to_insert()
	local plugin = pi:plugin(0)
	local info = plugin:get_info()
	print(string.format("INFO %s name=%q maker=%q unique_id=%s category=%q type=%s natural_in=%d natural_out=%d configured_in=%d configured_out=%d",
		format, plugin:name(), plugin:maker(), plugin:unique_id(), info.category,
		ARDOUR.PluginType.name(pi:type()), pi:natural_input_streams():n_audio(), pi:natural_output_streams():n_audio(),
		pi:input_streams():n_audio(), pi:output_streams():n_audio()))
	result(plugin:name() == "Verdigrix", "plug-in name is Verdigrix")
	result(plugin:maker() == "Tamrok", "maker is Tamrok")
	result(pi:output_streams():n_audio() == 2, "stereo output on a stereo track")
	for i = 0, plugin:parameter_count() - 1 do
		local _, t = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
		local pd = t[2]
		local points = {}
		local sp = ARDOUR.LuaAPI.desc_scale_points(pd)
		for k, v in pairs(sp) do points[#points + 1] = string.format("%s=%s", k, v) end
		table.sort(points)
		print(string.format("PARAM %s %2d %-18s input=%s range=%g..%g default=%g toggled=%s integer=%s points={%s}",
			format, i, plugin:parameter_label(i), tostring(plugin:parameter_is_input(i)), pd.lower, pd.upper, pd.normal,
			tostring(pd.toggled), tostring(pd.integer_step), table.concat(points, ", ")))
	end
end

-- What a musician meets: the preset menu lists exactly the effect's presets by
-- name (no phantom entries), and the three switches are switches, not sliders.
local function presets_and_switches(proc)
	local plugin = proc:to_insert():plugin(0)
	-- Ardour 7.3's Lua has no list of an instance's presets (the scanned info's list is empty
	-- for VST3); the menu's entries are found by URI, numbered from 0000 by program index.
	local prefix = (format == "VST3") and ("VST3-P:" .. uid .. ":") or ("VST:" .. uid .. ":")
	local labels = {}
	for i = 0, 127 do
		local pr = plugin:preset_by_uri(prefix .. string.format("%04d", i))
		if not pr or not pr.valid then break end
		labels[#labels + 1] = pr.label
	end
	result(plugin:preset_by_label("1") == nil, "no phantom preset \"1\"")
	print(string.format("PRESETS %s {%s}", format, table.concat(labels, ", ")))
	result(#labels == 1 and labels[1] == "-", "preset menu lists exactly the effect's preset \"-\"")
	local toggled = {}
	for i = 0, plugin:parameter_count() - 1 do
		if plugin:parameter_is_input(i) then
			local _, t = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
			toggled[plugin:parameter_label(i)] = t[2].toggled -- the effect's Bypass comes last
		end
	end
	for _, name in ipairs({"Follow Pitch", "Bypass", "Analog Saturation"}) do
		result(toggled[name] == true, name .. " is a switch")
	end
end

local function check_values(proc, map, expected, what)
	for _, p in ipairs(params) do
		local name = p[1]
		local want = expected[name]
		local got = get(proc, map, name)
		local tol = (p[3] - p[2]) * 1e-4
		result(got ~= nil and math.abs(got - want) <= tol,
			string.format("%s: %s = %s (expected %s)", what, name, tostring(got), tostring(want)))
	end
end

local function automate_amount(proc, map)
	-- Effect Amount from 0 to 100 across the 4-second range
	local al, cl, pd = ARDOUR.LuaAPI.plugin_automation(proc, map["Effect Amount"])
	assert(not al:isnil(), "no automation list for Effect Amount")
	cl:clear_list()
	for i = 0, 8 do
		cl:add(Temporal.timepos_t(math.floor(i * rate / 2)), to_host("Effect Amount", i * 12.5), false, true)
	end
	local ac = proc:to_automatable():automation_control(
		Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, map["Effect Amount"]), false)
	ac:set_automation_state(ARDOUR.AutoState.Play)
	return ac
end


local track, proc, map = nil, nil, nil

local function bind_plugin()
	proc = find_verdigrix(track)
	map = proc and control_map(proc:to_insert():plugin(0)) or nil
end

local actions = {}

function actions.create()
	local s = create_session(sdir, sname, rate)
	assert(s, "cannot create session " .. sdir)
	local tracks = Session:new_audio_track(2, 2, nil, 1, "Tone", ARDOUR.PresentationInfo.max_order,
		ARDOUR.TrackMode.Normal, true, false)
	track = tracks:front()
	local tone = ARDOUR.LuaAPI.new_luaproc(Session, "Vdgx Check Tone")
	assert(not tone:isnil(), "Vdgx Check Tone (vdgx_check_tone.lua) not found in the Lua script path")
	track:add_processor_by_index(tone, 0, nil, true)
end

function actions.add()
	local p = ARDOUR.LuaAPI.new_plugin(Session, uid, ptype, "")
	result(not p:isnil(), "instantiate " .. uid)
	if p:isnil() then return end
	result(track:add_processor_by_index(p, 1, nil, true) == 0, "add to stereo track after the tone")
	bind_plugin()
	for _, q in ipairs(params) do result(map[q[1]] ~= nil, "parameter named " .. q[1]) end
	settle()
end

function actions.describe() describe(proc) end
function actions.presets() presets_and_switches(proc) end

function actions.defaults()
	-- what Ardour shows must be the effect's defaults
	local defaults = {}
	for _, q in ipairs(params) do defaults[q[1]] = q[4] end
	check_values(proc, map, defaults, "defaults")
end

function actions.stored() check_values(proc, map, stored, "stored values") end

function actions.setstored()
	for _, q in ipairs(params) do set(proc, map, q[1], stored[q[1]]) end
	settle()
end

function actions.automate() automate_amount(proc, map) end

function actions.remove()
	result(track:remove_processor(proc, nil, true) == 0, "remove plug-in")
	proc, map = nil, nil
	settle()
	result(find_verdigrix(track) == nil, "plug-in gone after removal")
end

function actions.absent() result(find_verdigrix(track) == nil, "no plug-in after reopening") end

function actions.save()
	Session:save_state("", false, false, false, false, false)
	print("SAVED " .. sdir)
end

start_engine()
if arg[4] ~= "create" then
	local s = load_session(sdir, sname)
	result(s ~= nil, "load session " .. sdir)
	assert(s, "cannot load " .. sdir)
	track = Session:route_by_name("Tone"):to_track()
	bind_plugin()
	settle()
end
for i = 4, #arg do
	local a = arg[i]
	local name, value = a:match("^set:(.-)=(.*)$")
	local ename = a:match("^export:(.*)$")
	if name then
		assert(map and map[name], "no parameter " .. name)
		set(proc, map, name, tonumber(value))
		settle()
	elseif ename then
		export(ename, tonumber(ename:match("^automated") and 4 or 2))
	else
		assert(actions[a], "unknown action " .. a)(a)
	end
end
close_session()
print(string.format("DONE %s %s failures=%d", format, table.concat(arg, " ", 4), failures))
