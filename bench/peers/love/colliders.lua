-- N moving boxes and one moving circle (the player) tested against every box each
-- frame, as the Velmaris level of the driver has them; nothing is drawn. Variants:
-- "loop" (plain Lua arrays and an overlap test) and "physics" (love.physics: kinematic
-- sensor boxes, a dynamic sensor circle, one world step a frame).
local colliders = {}
colliders.__index = colliders

local kHalfBox = 0.5
local kPlayerRadius = 0.75

-- Box i (from 0): a 100-wide grid 3 units apart, each drifting its own way.
local function Box(i)
  return (i % 100 - 50) * 3, (math.floor(i / 100) - 50) * 3, (i % 7 - 3) * 0.5, (i % 5 - 2) * 0.5
end

local function NewLoop(self, count)
  self.name = "plain Lua loop"
  self.x, self.y, self.vx, self.vy = {}, {}, {}, {}
  for i = 1, count do self.x[i], self.y[i], self.vx[i], self.vy[i] = Box(i - 1) end
  self.px, self.py, self.contacts = 0, 0, 0
end

local function NewPhysics(self, count)
  self.name = "love.physics"
  love.physics.setMeter(1)
  self.world = love.physics.newWorld(0, 0, true)
  local shape = love.physics.newRectangleShape(2 * kHalfBox, 2 * kHalfBox)
  for i = 0, count - 1 do
    local x, y, vx, vy = Box(i)
    local body = love.physics.newBody(self.world, x, y, "kinematic")
    love.physics.newFixture(body, shape):setSensor(true)
    body:setLinearVelocity(vx, vy)
  end
  self.player = love.physics.newBody(self.world, 0, 0, "dynamic")
  love.physics.newFixture(self.player, love.physics.newCircleShape(kPlayerRadius)):setSensor(true)
  self.player:setLinearVelocity(1, 0)
end

function colliders.New(options)
  local self = setmetatable({}, colliders)
  if options.variant == "physics" then NewPhysics(self, options.count) else NewLoop(self, options.count) end
  return self
end

function colliders:Update(dt)
  if self.world then
    self.world:update(dt)
    return
  end
  local x, y, vx, vy = self.x, self.y, self.vx, self.vy
  self.px = self.px + dt
  local px, py, contacts = self.px, self.py, 0
  for i = 1, #x do
    x[i] = x[i] + vx[i] * dt
    y[i] = y[i] + vy[i] * dt
    local dx = math.max(math.abs(px - x[i]) - kHalfBox, 0)
    local dy = math.max(math.abs(py - y[i]) - kHalfBox, 0)
    if dx * dx + dy * dy <= kPlayerRadius * kPlayerRadius then contacts = contacts + 1 end
  end
  self.contacts = contacts
end

function colliders:Draw() end

return colliders
