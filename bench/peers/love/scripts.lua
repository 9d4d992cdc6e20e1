-- N objects, each with a small update a frame: the drifting loop of the game's
-- DriftingStar.lua, on plain Lua tables (nothing is drawn).
local scripts = {}
scripts.__index = scripts

local kFullTurn = 4 * math.pi

local Drifter = {}
Drifter.__index = Drifter

function Drifter:Update(dt)
  self.angle = (self.angle + self.speed * dt) % kFullTurn
  self.x = self.startX + 0.5 * self.radius * math.sin(0.5 * self.angle)
  self.y = self.startY + self.radius * math.sin(self.angle)
end

function scripts.New(options)
  local self = setmetatable({objects = {}, name = "Lua tables with an update method"}, scripts)
  for i = 1, options.count do
    local x, y = (i % 50) - 25, math.floor(i / 50) - 10
    self.objects[i] = setmetatable({startX = x, startY = y, x = x, y = y, z = 0,
                                    radius = 1.5, speed = 1.5, angle = 0.1 * i}, Drifter)
  end
  return self
end

function scripts:Update(dt)
  for _, object in ipairs(self.objects) do object:Update(dt) end
end

function scripts:Draw() end

return scripts
