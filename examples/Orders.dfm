object OrdersForm: TOrdersForm
  Left = 192
  Top = 107
  Caption = 'Orders'
  ClientHeight = 240
  ClientWidth = 360
  HelpContext = 100
  object lblCustomer: TLabel
    Left = 8
    Top = 12
    Width = 52
    Height = 13
    Caption = 'Customer:'
  end
  object edtCustomer: TEdit
    Left = 72
    Top = 8
    Width = 200
    Height = 21
    TabOrder = 0
  end
  object chkExpress: TCheckBox
    Left = 72
    Top = 40
    Width = 120
    Height = 17
    Caption = 'Express delivery'
    TabOrder = 1
  end
  object btnOK: TButton
    Left = 192
    Top = 200
    Width = 75
    Height = 25
    Caption = 'OK'
    HelpContext = 110
    TabOrder = 2
  end
  object btnCancel: TButton
    Left = 276
    Top = 200
    Width = 75
    Height = 25
    Caption = 'Cancel'
    TabOrder = 3
  end
end
