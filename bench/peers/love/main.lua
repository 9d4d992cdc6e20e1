-- The LÖVE side of the side-by-side benchmark (bench/peers/run.py): runs one scene for
-- a number of frames at a fixed 1/60 s step and writes the same statistics file as
-- velmaris-sim --stats: each frame's wall time (love.timer), the first present on
-- CLOCK_MONOTONIC, and the resident memory at the end.
--   love bench/peers/love --scene sprites|scripts|colliders --variant NAME
--        --frames N --stats FILE.json [--count N] [--pictures A.png,B.png,...]
local ffi = require("ffi")

ffi.cdef [[
typedef struct { long tv_sec; long tv_nsec; } peer_bench_timespec;
int clock_gettime(int clock, peer_bench_timespec* time);
]]

local kClockMonotonic = 1
local kDt = 1 / 60

-- CLOCK_MONOTONIC in seconds: love.timer counts from its own start, so the driver's
-- spawn time and the first present are compared on this clock instead.
local function MonotonicSeconds()
  local time = ffi.new("peer_bench_timespec")
  ffi.C.clock_gettime(kClockMonotonic, time)
  return tonumber(time.tv_sec) + tonumber(time.tv_nsec) / 1e9
end

local function StatusKilobytes(field)
  local file = io.open("/proc/self/status", "r")
  if not file then return -1 end
  local text = file:read("*a")
  file:close()
  return tonumber(text:match(field .. ":%s*(%d+)")) or -1
end

local function ParseOptions(args)
  local options = {count = 1000, frames = 1, variant = "draw", pictures = {}}
  local i = 1
  while i <= #args do
    local name, value = args[i]:match("^%-%-(.+)$"), args[i + 1]
    if not name or value == nil then error("bad argument: " .. tostring(args[i])) end
    if name == "pictures" then
      for path in value:gmatch("[^,]+") do options.pictures[#options.pictures + 1] = path end
    elseif name == "count" or name == "frames" then
      options[name] = assert(tonumber(value), name .. " needs a number")
    else
      options[name] = value
    end
    i = i + 2
  end
  assert(options.stats, "--stats FILE.json is needed")
  return options
end

local function WriteStats(path, frameMs, firstPresent, variantName)
  local _, _, _, renderer = love.graphics.getRendererInfo()
  local parts = {}
  for i, ms in ipairs(frameMs) do parts[i] = string.format("%.6f", ms) end
  local file = assert(io.open(path, "w"))
  file:write(string.format(
      '{"frames": %d, "frame_ms": [%s], "first_present_s": %.6f, "rss_kb": %d, "peak_rss_kb": %d, "variant": "%s", "renderer": "%s"}\n',
      #frameMs, table.concat(parts, ", "), firstPresent, StatusKilobytes("VmRSS"),
      StatusKilobytes("VmHWM"), variantName, (renderer:gsub('"', "'"))))
  file:close()
end

function love.run()
  local options = ParseOptions(love.arg.parseGameArguments(arg))
  local scene = require(options.scene).New(options)
  local frameMs, firstPresent = {}, nil
  return function()
    local start = love.timer.getTime()
    love.event.pump()
    for name in love.event.poll() do
      if name == "quit" then return 0 end
    end
    scene:Update(kDt)
    love.graphics.origin()
    love.graphics.clear(0.392157, 0.584314, 0.929412, 1)
    scene:Draw()
    love.graphics.present()
    frameMs[#frameMs + 1] = (love.timer.getTime() - start) * 1000
    if not firstPresent then firstPresent = MonotonicSeconds() end
    if #frameMs >= options.frames then
      WriteStats(options.stats, frameMs, firstPresent, scene.name)
      return 0
    end
  end
end
