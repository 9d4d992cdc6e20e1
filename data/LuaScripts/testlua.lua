-- testlua.lua: the script a Script component runs unless its level file names
-- another one, and a small tour of the scripting API.
--
-- The object circles the point where it started, data.radius world units away,
-- data.speed radians per second. A ScriptData on the object sets both from the
-- level file; without one, Init picks its own. With data.initTime above zero the
-- object switches itself off after that many seconds.

-- Top-level code runs again every frame before Update, so it only defines things.
local DEGREES_PER_RADIAN = 180 / math.pi
local FULL_TURN = 2 * math.pi

function Init()
  if data.radius == 0 then data.radius = 2 end
  if data.speed == 0 then data.speed = 1.5 end
  data.timer = 0
  data.angle = 0
  data.state = false -- becomes true once the centre is known
end

-- dt: the frame time in seconds.
function Update(dt)
  if myTransform == nil then return end

  local position = myTransform:TransformGetTranslation() -- a copy
  if not data.state then
    -- The centre lies data.radius to the left, so the circle starts where the
    -- object stands. data.start is copied out and in as a whole Vector2D.
    data.start = Vector2D(position.x - data.radius, position.y)
    data.state = true
  end

  data.timer = data.timer + dt
  data.angle = (data.angle + data.speed * dt) % FULL_TURN

  local centre = data.start
  myTransform:TransformSetTranslation(centre.x + data.radius * Math.cosf(data.angle),
                                      centre.y + data.radius * Math.sinf(data.angle),
                                      position.z, position.w)
  myTransform:TransformSetRotation(data.angle * DEGREES_PER_RADIAN)

  if data.initTime > 0 and data.timer >= data.initTime then
    parent:SetActive(false)
  end
end
