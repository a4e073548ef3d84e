-- Run by scripts/try-ardour.sh inside Ardour's headless Lua session tool (ardour7-lua), twice:
-- CORVANE_TRIAL_PHASE "create" makes a session with a MIDI track playing Corvane, sets a
-- parameter and saves; "reopen" (a new process) opens the saved session, reads the parameter
-- back and plays a note through the plug-in on the dummy engine. Ardour 7.3's tool does not
-- survive closing a session and opening another in one process (it crashes restarting its
-- engine), hence two. Every step prints one "trial:" line; a failed step prints
-- "trial: FAILED", a finished phase "trial: done".

local folder = os.getenv ("CORVANE_TRIAL_SESSION")
local name = "corvane-trial"
local uri = "urn:corvane:lv2:Corvane"
local parameter = os.getenv ("CORVANE_TRIAL_PARAMETER") or "Volume"
local value = tonumber (os.getenv ("CORVANE_TRIAL_VALUE") or "0.25")
local phase = os.getenv ("CORVANE_TRIAL_PHASE")

local function step (text) print ("trial: " .. text) end
local function fail (text) print ("trial: FAILED: " .. text); error (text) end

-- The plug-in's control input labelled with the parameter's name, as its index among the
-- control inputs (what LuaAPI.set_processor_param counts).
local function find_parameter (insert)
	local plugin = insert:to_insert ():plugin (0)
	local control = 0
	for i = 0, plugin:parameter_count () - 1 do
		local port, ok = plugin:nth_parameter (i, true)
		if ok and plugin:parameter_is_input (port) and plugin:parameter_is_control (port) then
			if plugin:parameter_label (port) == parameter then return control end
			control = control + 1
		end
	end
	fail ("no control named " .. parameter)
end

local function corvane_track ()
	for route in Session:get_routes ():iter () do
		local insert = route:nth_plugin (0)
		if not insert:isnil () and insert:display_name () == "Corvane" then return route, insert end
	end
	fail ("no track plays Corvane")
end

local function start_engine ()
	if AudioEngine:set_backend ("None (Dummy)", "", ""):isnil () then fail ("no dummy audio back-end") end
	step ("back-end " .. AudioEngine:current_backend_name ())
end

-- A new session with a MIDI track whose instrument is Corvane; a parameter set through
-- Ardour's plug-in controls; saved.
local function create ()
	start_engine ()
	if not create_session (folder, name, 48000) then fail ("could not create the session in " .. folder) end
	step ("session created")
	local info = ARDOUR.LuaAPI.new_plugin_info (uri, ARDOUR.PluginType.LV2)
	if info:isnil () then fail (uri .. " not found on LV2_PATH") end
	step ("found " .. info.name .. " (" .. info.unique_id .. ")")
	local tracks = Session:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
	                                       ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2), true, info, nil, nil,
	                                       1, "Corvane", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal,
	                                       true, false)
	if tracks:size () ~= 1 then fail ("no MIDI track made") end
	local track, insert = corvane_track ()
	step ("MIDI track '" .. track:name () .. "' plays " .. insert:display_name ())

	local index = find_parameter (insert)
	if not ARDOUR.LuaAPI.set_processor_param (insert, index, value) then fail ("could not set " .. parameter) end
	local now = ARDOUR.LuaAPI.get_processor_param (insert, index, true)
	step (string.format ("set %s (control %d) to %g, reads %g", parameter, index, value, now))
	Session:save_state ("", false, false, false, false, false)
	step ("saved")
end

-- The saved session opened again: the track, its plug-in and the parameter are back. Then a
-- note through the plug-in: a small MIDI generator before it plays A3 while the dummy engine
-- runs in real time, and the track's meter shows what Corvane answers.
local function reopen ()
	start_engine ()
	if not load_session (folder, name) then fail ("could not open the saved session") end
	local track, insert = corvane_track ()
	local index = find_parameter (insert)
	local again = ARDOUR.LuaAPI.get_processor_param (insert, index, true)
	step (string.format ("reopened: %s (control %d) reads %g", parameter, index, again))
	if math.abs (again - value) > 1e-4 then fail (string.format ("%s came back as %g, not %g", parameter, again, value)) end

	-- The track's own MIDI input stays unconnected: the dummy engine's MIDI ports play patterns
	-- of their own.
	track:input ():disconnect_all (nil)
	-- The meter lists the MIDI channel before the audio ones; the plug-in's output is the audio.
	local meter = track:peak_meter ()
	local streams = meter:input_streams ()
	local function loudest (seconds)
		local peak = -200
		for _ = 1, seconds * 10 do
			ARDOUR.LuaAPI.usleep (100000)
			for c = streams:n_midi (), streams:n_midi () + streams:n_audio () - 1 do
				peak = math.max (peak, meter:meter_level (c, ARDOUR.MeterType.MeterPeak))
			end
		end
		return peak
	end
	Session:request_transport_speed (1.0, ARDOUR.TransportRequestSource.TRS_UI)
	local function dB (level) return level <= -200 and "-inf" or string.format ("%.1f", level) end
	local quiet = loudest (1)
	step ("rolling without a note for 1 s: track peak " .. dB (quiet) .. " dBFS")
	local generator = ARDOUR.LuaAPI.new_luaproc (Session, "Corvane Trial Note")
	if generator:isnil () then fail ("no note generator script") end
	track:add_processor_by_index (generator, 0, nil, true)
	local heard = loudest (3)
	step ("note A3 played for 3 s: track peak " .. dB (heard) .. " dBFS")
	if heard < -60 or heard < quiet + 20 then fail ("the note was not heard") end
end

if phase == "create" then create () elseif phase == "reopen" then reopen () else fail ("no phase given") end
step ("done")
