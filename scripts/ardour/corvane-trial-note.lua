ardour {
	["type"]    = "dsp",
	name        = "Corvane Trial Note",
	category    = "Utility",
	license     = "MIT",
	author      = "Corvane",
	description = [[Passes MIDI through and plays one held note (A3, velocity 100) in its first cycle, so that an instrument after it sounds without a MIDI region.]]
}

function dsp_ioconfig ()
	return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 }, }
end

local played = false

function dsp_run (_, _, n_samples)
	local out = 1
	for _, event in pairs (midiin) do
		midiout[out] = { ["time"] = event["time"], ["data"] = event["data"] }
		out = out + 1
	end
	if not played then
		midiout[out] = { ["time"] = 1, ["data"] = { 0x90, 57, 100 } }
		played = true
	end
end
