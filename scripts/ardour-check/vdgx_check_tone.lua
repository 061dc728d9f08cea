ardour {
	["type"]    = "dsp",
	name        = "Vdgx Check Tone",
	category    = "Utility",
	license     = "MIT",
	author      = "Verdigrix",
	description = [[Stereo test tone (sine) that replaces the input. While the
	transport rolls (and during export) its phase follows the transport
	position, so every export of the same range gets the same samples.]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

function dsp_params ()
	return {
		{ ["type"] = "input", name = "Frequency", min = 20, max = 20000, default = 220, unit = "Hz" },
		{ ["type"] = "input", name = "Amplitude", min = 0, max = 1, default = 0.25 },
	}
end

local rate = 48000
local phase = 0

function dsp_init (r)
	rate = r
end

function dsp_run (ins, outs, n_samples)
	local ctrl = CtrlPorts:array ()
	local inc = ctrl[1] / rate
	local amp = ctrl[2]
	local a = {}
	if Session:transport_rolling () then
		local pos = Session:transport_sample ()
		phase = (pos * ctrl[1] % rate) / rate
	end
	for s = 1, n_samples do
		a[s] = amp * math.sin (phase * 2 * math.pi)
		phase = phase + inc
		if phase >= 1 then phase = phase - 1 end
	end
	for c = 1, #outs do
		outs[c]:set_table (a, n_samples)
	end
end
