-- MoveRight.lua: moves its object one world unit to the right every frame.

function Init()
end

-- dt: the frame time in seconds (unused: the step is per frame).
function Update(dt)
  myTransform:TransformAddX(1)
end
